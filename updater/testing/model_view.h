// A view for tests: keeps the window's state as the real window would (the
// stacking of the window's direct children, visibility, enabled flags,
// captions, the location form, the language box, the screen lines) and
// records pauses, repaints, closes and error reports instead of acting on
// them. Every operation is also logged in order, for tests of sequence.
#pragma once

#include <string>
#include <vector>

#include "components.h"
#include "view.h"

namespace zt {

struct ErrorReport {
  std::string caption;
  std::string text;
};

class ModelView : public View {
 public:
  ModelView();

  // --- View ---
  void AppendLine(const std::string& text) override;
  void Repaint() override;
  void Pause(unsigned ms) override;
  void BringToFront(Component c) override;
  void SendToBack(Component c) override;
  void SetVisible(Component c, bool visible) override;
  void SetEnabled(Component c, bool enabled) override;
  void SetCaption(Component label, const std::string& text) override;
  std::string EditText(Component edit) override;
  void SetEditText(Component edit, const std::string& text) override;
  bool Checked(Component check_box) override;
  void SetChecked(Component check_box, bool checked) override;
  void ClearLanguages() override;
  void AddLanguage(const std::string& entry) override;
  int LanguageIndex() override;
  void Close() override;
  void ShowError(const std::string& caption, const std::string& text) override;

  // --- State, for the driver and the tests ---
  bool Visible(Component c) const { return at(c).visible; }
  bool Enabled(Component c) const { return at(c).enabled; }
  // Visible and enabled, together with every panel that holds it.
  bool Usable(Component c) const;
  const std::string& Caption(Component c) const { return at(c).text; }
  // The window's direct children, bottom to top.
  const std::vector<Component>& Stacking() const { return stacking_; }
  // Position in the stacking order (0 = bottom); -1 for a component that
  // is not a direct child.
  int Layer(Component c) const;
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<std::string>& Languages() const { return languages_; }
  // Chooses an entry of the language box, as a user's click does.
  void ChooseLanguage(int index) { chosen_ = index; }
  const std::vector<unsigned>& Pauses() const { return pauses_; }
  int Repaints() const { return repaints_; }
  bool Closed() const { return closed_; }
  const std::vector<ErrorReport>& Errors() const { return errors_; }
  // Every operation in order: "line:<text>", "repaint", "pause:<ms>",
  // "front:<name>", "back:<name>", "visible:<name>=0|1", "enabled:<name>=0|1",
  // "caption:<name>=<text>", "edit:<name>=<text>", "check=0|1", "close",
  // "error:<text>".
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  struct State {
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    std::string text;
  };
  State& at(Component c) { return states_[static_cast<std::size_t>(c)]; }
  const State& at(Component c) const { return states_[static_cast<std::size_t>(c)]; }

  std::vector<State> states_;
  std::vector<Component> stacking_;
  std::vector<std::string> lines_;
  std::vector<std::string> languages_;
  int chosen_ = -1;
  std::vector<unsigned> pauses_;
  int repaints_ = 0;
  bool closed_ = false;
  std::vector<ErrorReport> errors_;
  std::vector<std::string> log_;
};

}  // namespace zt
