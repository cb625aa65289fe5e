#include "driver.h"

namespace zt {
namespace {

bool Holds(const ComponentInfo& r, int x, int y) {
  return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}

// The point a click on a label lands on, in the window's coordinates.
void LabelPoint(Component label, int& x, int& y) {
  const ComponentInfo& l = Info(label);
  const ComponentInfo& strip = Info(l.parent);
  x = strip.left + l.left + 1;
  y = strip.top + l.top + 1;
}

}  // namespace

bool Driver::CoveredAt(Component below, int x, int y) const {
  const auto& stacking = view_.Stacking();
  for (int i = view_.Layer(below) + 1; i < static_cast<int>(stacking.size()); ++i) {
    Component c = stacking[static_cast<std::size_t>(i)];
    if (view_.Visible(c) && Holds(Info(c), x, y)) return true;
  }
  return false;
}

bool Driver::Reachable(Component label) const {
  if (Info(label).kind != Kind::Label || view_.Closed()) return false;
  Component strip = Info(label).parent;
  if (!IsTopLevel(strip) || !view_.Usable(label)) return false;
  int x, y;
  LabelPoint(label, x, y);
  return !CoveredAt(strip, x, y);
}

void Driver::Show() {
  HandleEvent(view_, form_, FormEvent::FormShow);
}

bool Driver::Click(Component label) {
  if (!Reachable(label)) return false;
  auto event = ClickEvent(label);
  if (!event) return false;  // a label without a click handler
  HandleEvent(view_, form_, *event);
  return true;
}

bool Driver::FocusLanguageBox() {
  if (!view_.Usable(Component::ComboLanguages)) return false;
  HandleEvent(view_, form_, FormEvent::ComboLanguagesEnter);
  return true;
}

bool Driver::Choose(int index) {
  if (!view_.Usable(Component::ComboLanguages)) return false;
  if (index < 0 || index >= static_cast<int>(view_.Languages().size())) return false;
  view_.ChooseLanguage(index);
  HandleEvent(view_, form_, FormEvent::ComboLanguagesSelect);
  return true;
}

Component Driver::FrontStrip() const {
  const ComponentInfo& row = Info(Component::PanelDetectarPSP);
  const auto& stacking = view_.Stacking();
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    if (!view_.Visible(*it) || !Holds(Info(*it), row.left + 1, row.top + 1)) continue;
    switch (*it) {
      case Component::PanelDetectarPSP:
      case Component::PanelInstalar:
      case Component::PanelLocation2:
      case Component::PanelActualizar:
        return *it;
      default:
        return Component::Form1;
    }
  }
  return Component::Form1;
}

Component Driver::ScreenShows() const {
  const ComponentInfo& area = Info(Component::Pantalla);
  const auto& stacking = view_.Stacking();
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it)
    if (view_.Visible(*it) && Holds(Info(*it), area.left + 1, area.top + 1)) return *it;
  return Component::Form1;
}

}  // namespace zt
