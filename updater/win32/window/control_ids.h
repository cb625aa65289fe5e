// Finding the window's controls from their control IDs (kControlIdBase plus
// the component's index), for tools and tests that look at the window from
// outside its code.
#pragma once

#include <windows.h>

#include "updater/core/components.h"

namespace zt {

// The component that child window `child` of the form stands for, or
// Component::Form1 for windows that are only parts of a control: the
// language box's own field and list carry small IDs of their own that would
// otherwise clash with the table's.
Component ControlComponent(HWND form, HWND child);

// The control of component c among the form's descendants, or null.
HWND FindControl(HWND form, Component c);

}  // namespace zt
