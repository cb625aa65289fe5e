// The updater's one window, built from Win32 controls, as the View that the
// handlers drive. The window raises a FormEvent for each user action it
// handles; the program entry passes them on to TForm1.
#pragma once

#include <functional>
#include <memory>

#include "updater/core/form_events.h"
#include "updater/core/view.h"

namespace zt {

// Every control's ID is this base plus its Component's index, so tools that
// look at the window from outside can name each control.
inline constexpr int kControlIdBase = 1000;

class FormWindow : public View {
 public:
  // Shows the window (which raises FormShow) and handles events until the
  // window is closed. Returns the program's exit code.
  virtual int Run() = 0;
};

using FormEventSink = std::function<void(FormEvent)>;

// Creates the window and all its controls, hidden, with their built-in
// values. `instance` is the module (HINSTANCE) whose resources hold the
// pictures: bitmap "SKIN", JPEG "SPLASH" (RCDATA) and icon "MAINICON".
// Events raised while a handler runs are dropped: a handler runs to its end
// before the next one starts.
std::unique_ptr<FormWindow> CreateFormWindow(void* instance, FormEventSink sink);

}  // namespace zt
