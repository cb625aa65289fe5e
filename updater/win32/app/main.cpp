// The program entry: the window, the Win32 platform and the form's handlers,
// joined by HandleEvent (which turns an escaping error into the error box),
// then the event loop until the window closes.
#include <windows.h>

#include <memory>

#include "updater/core/principal.h"
#include "updater/win32/platform/win32_platform.h"
#include "updater/win32/window/form_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  zt::Win32Platform platform;
  std::unique_ptr<zt::TForm1> form;
  std::unique_ptr<zt::FormWindow> window = zt::CreateFormWindow(instance, [&](zt::FormEvent e) {
    if (form) zt::HandleEvent(*window, *form, e);
  });
  form = std::make_unique<zt::TForm1>(*window, platform);
  return window->Run();
}
