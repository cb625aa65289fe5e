#include "control_ids.h"

#include "form_window.h"

namespace zt {

Component ControlComponent(HWND form, HWND child) {
  const int index = GetDlgCtrlID(child) - kControlIdBase;
  if (index < 0 || index >= static_cast<int>(Component::Form1)) return Component::Form1;
  const auto c = static_cast<Component>(index);
  HWND parent = GetParent(child);
  const Component expected_parent = Info(c).parent;
  if (expected_parent == Component::Form1) return parent == form ? c : Component::Form1;
  return ControlComponent(form, parent) == expected_parent ? c : Component::Form1;
}

namespace {

struct Search {
  HWND form;
  Component wanted;
  HWND found;
};

BOOL CALLBACK Check(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (ControlComponent(search->form, child) != search->wanted) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HWND FindControl(HWND form, Component c) {
  Search search{form, c, nullptr};
  EnumChildWindows(form, Check, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace zt
