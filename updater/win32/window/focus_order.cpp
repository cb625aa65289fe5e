#include "focus_order.h"

#include <algorithm>
#include <iterator>

namespace zt {
namespace {

constexpr Component kOrder[] = {
    Component::EditNombre, Component::EditLat,        Component::EditLon,
    Component::EditAlt,    Component::EditOffset,     Component::CheckBoxVerano,
    Component::Pantalla,   Component::ComboLanguages,
};

}  // namespace

std::span<const Component> FocusOrder() { return kOrder; }

Component NextFocus(Component current, bool forward,
                    const std::function<bool(Component)>& can_focus) {
  const int n = static_cast<int>(std::size(kOrder));
  const auto* found = std::find(std::begin(kOrder), std::end(kOrder), current);
  // Position of the current control; one before the start (or after the end)
  // when the focus is on nothing in the order.
  int at = found != std::end(kOrder) ? static_cast<int>(found - std::begin(kOrder))
                                     : (forward ? -1 : n);
  const int step = forward ? 1 : -1;
  for (int tried = 0; tried < n; ++tried) {
    at = ((at + step) % n + n) % n;
    if (can_focus(kOrder[at])) return kOrder[at];
  }
  return Component::Form1;
}

}  // namespace zt
