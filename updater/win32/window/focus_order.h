// The Tab key's path through the window. It follows a fixed order of
// controls, not the stacking order, which the screen flow keeps changing.
#pragma once

#include <functional>
#include <span>

#include "updater/core/components.h"

namespace zt {

// The controls that take the keyboard focus, in the order Tab visits them.
std::span<const Component> FocusOrder();

// The control that Tab (forward) or Shift+Tab (backward) moves the focus to
// from `current`, skipping those `can_focus` refuses and wrapping around.
// `current` may lie outside the order (a panel, or nothing: Component::Form1);
// the search then starts before the first control (forward) or after the last
// (backward). Returns Component::Form1 when no control can take the focus.
Component NextFocus(Component current, bool forward,
                    const std::function<bool(Component)>& can_focus);

}  // namespace zt
