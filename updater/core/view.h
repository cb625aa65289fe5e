// The view seam: the only way the handlers drive the window. The real window
// implements it with controls; the tests use a model that keeps the state.
#pragma once

#include <string>

#include "components.h"

namespace zt {

class View {
 public:
  virtual ~View() = default;

  // Adds text as a new last line of the screen memo Pantalla. Lines are
  // never changed or removed.
  virtual void AppendLine(const std::string& text) = 0;
  // Redraws the window and its components at once, so that the lines
  // appended so far show during the blocking work that follows.
  virtual void Repaint() = 0;
  // Blocks the window's thread for ms milliseconds; the window neither
  // redraws nor reacts meanwhile.
  virtual void Pause(unsigned ms) = 0;
  // Put a direct child of the window above / below all its siblings.
  virtual void BringToFront(Component c) = 0;
  virtual void SendToBack(Component c) = 0;
  // A hidden control neither draws nor takes clicks; a disabled control and
  // everything on it take no input.
  virtual void SetVisible(Component c, bool visible) = 0;
  virtual void SetEnabled(Component c, bool enabled) = 0;
  // Replaces a label's text.
  virtual void SetCaption(Component label, const std::string& text) = 0;
  // The location form's values.
  virtual std::string EditText(Component edit) = 0;
  virtual void SetEditText(Component edit, const std::string& text) = 0;
  virtual bool Checked(Component check_box) = 0;
  virtual void SetChecked(Component check_box, bool checked) = 0;
  // The language box's list of entries, and the index of the chosen entry
  // (-1 when none is chosen).
  virtual void ClearLanguages() = 0;
  virtual void AddLanguage(const std::string& entry) = 0;
  virtual int LanguageIndex() = 0;
  // Closes the window, which ends the program.
  virtual void Close() = 0;
  // The application's default error report: a modal box with an error icon
  // and one OK button. Returns when the user has closed it.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
};

}  // namespace zt
