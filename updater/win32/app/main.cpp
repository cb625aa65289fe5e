// The program entry: the window, the Win32 platform and the form's handlers,
// joined by the dispatcher, then the event loop until the window closes.
#include <windows.h>

#include <memory>

#include "updater/core/principal.h"
#include "updater/win32/platform/win32_platform.h"
#include "updater/win32/window/form_window.h"

namespace {

// Calls the form's handler for one event; the dispatcher turns an error that
// escapes it into the error box.
void Handle(zt::View& view, zt::TForm1& form, zt::FormEvent event) {
  using zt::Component;
  using zt::FormEvent;
  zt::Dispatch(view, [&] {
    switch (event) {
      case FormEvent::FormShow: form.FormShow(Component::Form1); break;
      case FormEvent::LabelSalirClick: form.LabelSalirClick(Component::LabelSalir); break;
      case FormEvent::ComboLanguagesEnter: form.ComboLanguagesEnter(Component::ComboLanguages); break;
      case FormEvent::ComboLanguagesSelect: form.ComboLanguagesSelect(Component::ComboLanguages); break;
      case FormEvent::LabelBotonPSPClick: form.LabelBotonPSPClick(Component::LabelBotonPSP); break;
      case FormEvent::LabelSaveLocationClick: form.LabelSaveLocationClick(Component::LabelSaveLocation); break;
      case FormEvent::LabelDownloadClick: form.LabelDownloadClick(Component::LabelDownload); break;
      case FormEvent::LabelInstalarClick: form.LabelInstalarClick(Component::LabelInstalar); break;
    }
  });
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  zt::Win32Platform platform;
  std::unique_ptr<zt::TForm1> form;
  std::unique_ptr<zt::FormWindow> window = zt::CreateFormWindow(instance, [&](zt::FormEvent e) {
    if (form) Handle(*window, *form, e);
  });
  form = std::make_unique<zt::TForm1>(*window, platform);
  return window->Run();
}
