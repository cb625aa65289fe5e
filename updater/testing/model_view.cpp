#include "model_view.h"

#include <algorithm>
#include <stdexcept>

namespace zt {
namespace {

std::string Name(Component c) { return Info(c).name; }

// A misuse of the view by the handlers is a fault the tests must see.
void Require(bool ok, const char* what, Component c) {
  if (!ok) throw std::logic_error(std::string(what) + ": " + Name(c));
}

}  // namespace

ModelView::ModelView() : states_(static_cast<std::size_t>(Component::Form1) + 1) {
  for (const ComponentInfo& info : AllComponents()) {
    at(info.id).text = info.text;
    if (info.parent == Component::Form1) stacking_.push_back(info.id);
  }
}

bool ModelView::Usable(Component c) const {
  for (Component p = c; p != Component::Form1; p = Info(p).parent)
    if (!at(p).visible || !at(p).enabled) return false;
  return !closed_;
}

int ModelView::Layer(Component c) const {
  auto it = std::find(stacking_.begin(), stacking_.end(), c);
  return it == stacking_.end() ? -1 : static_cast<int>(it - stacking_.begin());
}

void ModelView::AppendLine(const std::string& text) {
  lines_.push_back(text);
  log_.push_back("line:" + text);
}

void ModelView::Repaint() {
  ++repaints_;
  log_.push_back("repaint");
}

void ModelView::Pause(unsigned ms) {
  pauses_.push_back(ms);
  log_.push_back("pause:" + std::to_string(ms));
}

void ModelView::BringToFront(Component c) {
  Require(IsTopLevel(c), "bring to front of a component that is no direct child", c);
  stacking_.erase(std::find(stacking_.begin(), stacking_.end(), c));
  stacking_.push_back(c);
  log_.push_back("front:" + Name(c));
}

void ModelView::SendToBack(Component c) {
  Require(IsTopLevel(c), "send to back of a component that is no direct child", c);
  stacking_.erase(std::find(stacking_.begin(), stacking_.end(), c));
  stacking_.insert(stacking_.begin(), c);
  log_.push_back("back:" + Name(c));
}

void ModelView::SetVisible(Component c, bool visible) {
  at(c).visible = visible;
  log_.push_back("visible:" + Name(c) + "=" + (visible ? "1" : "0"));
}

void ModelView::SetEnabled(Component c, bool enabled) {
  at(c).enabled = enabled;
  log_.push_back("enabled:" + Name(c) + "=" + (enabled ? "1" : "0"));
}

void ModelView::SetCaption(Component label, const std::string& text) {
  Require(Info(label).kind == Kind::Label, "caption of a non-label", label);
  at(label).text = text;
  log_.push_back("caption:" + Name(label) + "=" + text);
}

std::string ModelView::EditText(Component edit) {
  Require(Info(edit).kind == Kind::Edit, "text of a non-edit", edit);
  return at(edit).text;
}

void ModelView::SetEditText(Component edit, const std::string& text) {
  Require(Info(edit).kind == Kind::Edit, "text of a non-edit", edit);
  at(edit).text = text;
  log_.push_back("edit:" + Name(edit) + "=" + text);
}

bool ModelView::Checked(Component check_box) {
  Require(Info(check_box).kind == Kind::CheckBox, "state of a non-check box", check_box);
  return at(check_box).checked;
}

void ModelView::SetChecked(Component check_box, bool checked) {
  Require(Info(check_box).kind == Kind::CheckBox, "state of a non-check box", check_box);
  at(check_box).checked = checked;
  log_.push_back(std::string("check=") + (checked ? "1" : "0"));
}

void ModelView::ClearLanguages() {
  languages_.clear();
  chosen_ = -1;
  log_.push_back("languages:clear");
}

void ModelView::AddLanguage(const std::string& entry) {
  languages_.push_back(entry);
  log_.push_back("languages:add=" + entry);
}

int ModelView::LanguageIndex() { return chosen_; }

void ModelView::Close() {
  closed_ = true;
  log_.push_back("close");
}

void ModelView::ShowError(const std::string& caption, const std::string& text) {
  errors_.push_back({caption, text});
  log_.push_back("error:" + text);
}

}  // namespace zt
