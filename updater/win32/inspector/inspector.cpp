// zt_inspector: reports the state of the updater's window, for tests that
// drive it from outside. One record a line, fields separated by tabs, text
// as the window holds it (8-bit):
//
//   control  Name  class  visible  enabled  z  x  y  w  h  text
//   comboitem  i  text              (the language box's entries)
//   combosel  index
//   line  n  text                   (the lines of the screen memo)
//   window  x  y  w  h              (the window's client area)
//   errorbox  caption  text         (each error box the program shows)
//
// Positions are screen coordinates; z counts the siblings above a control
// (0 = on top). The check box's text is "checked" or "unchecked".
// Exit code 0 when the window was found, 1 otherwise.
//
//   zt_inspector --close-errorbox   presses OK on the program's error box
//                                   (exit code 0 when there was one)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "updater/core/components.h"
#include "updater/win32/window/control_ids.h"
#include "updater/win32/window/form_window.h"

namespace {

using zt::Component;

std::string TextOf(HWND hwnd) {
  // WM_GETTEXT rather than GetWindowText: the latter doesn't ask a window
  // of another process for the text of a control.
  const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got =
      SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

// Entry i of a combo box in another process. Wine hands an ANSI caller of
// CB_GETLBTEXT the wide text across processes, so ask for that and convert.
std::string EntryOf(HWND combo, LRESULT i) {
  std::wstring wide(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
  const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
  if (got <= 0) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(got), nullptr, 0,
                                       nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(got), text.data(), size, nullptr,
                      nullptr);
  return text;
}

int StackDepth(HWND hwnd) {
  int above = 0;
  for (HWND h = GetWindow(hwnd, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) ++above;
  return above;
}

void PrintControl(HWND form, HWND hwnd, Component c) {
  RECT r;
  GetWindowRect(hwnd, &r);
  std::string text;
  const zt::Kind kind = zt::Info(c).kind;
  if (kind == zt::Kind::CheckBox)
    text = SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? "checked" : "unchecked";
  else
    text = TextOf(hwnd);
  std::printf("control\t%s\t%s\t%d\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t%s\n", zt::Info(c).name,
              ClassOf(hwnd).c_str(), IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0,
              StackDepth(hwnd), r.left, r.top, r.right - r.left, r.bottom - r.top, text.c_str());
  if (kind == zt::Kind::ComboBox) {
    const LRESULT count = SendMessageA(hwnd, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
      std::printf("comboitem\t%ld\t%s\n", static_cast<long>(i), EntryOf(hwnd, i).c_str());
    std::printf("combosel\t%ld\n", static_cast<long>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0)));
  }
  if (kind == zt::Kind::Memo) {
    // The memo holds each line followed by CR LF.
    const std::string all = TextOf(hwnd);
    std::size_t start = 0;
    int n = 0;
    while (start < all.size()) {
      std::size_t end = all.find("\r\n", start);
      if (end == std::string::npos) end = all.size();
      std::printf("line\t%d\t%s\n", n++, all.substr(start, end - start).c_str());
      start = end + 2;
    }
  }
  (void)form;
}

struct Children {
  HWND form;
  std::vector<std::pair<Component, HWND>> found;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  auto* children = reinterpret_cast<Children*>(param);
  const Component c = zt::ControlComponent(children->form, hwnd);
  if (c != Component::Form1) children->found.emplace_back(c, hwnd);
  return TRUE;
}

struct ErrorBoxes {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectErrorBox(HWND hwnd, LPARAM param) {
  auto* boxes = reinterpret_cast<ErrorBoxes*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == boxes->process && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770")
    boxes->found.push_back(hwnd);
  return TRUE;
}

// The message text of a message box: its static control that holds text
// (the icon is a static without text).
std::string MessageText(HWND box) {
  for (HWND h = GetWindow(box, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (_stricmp(ClassOf(h).c_str(), "Static") != 0) continue;
    std::string text = TextOf(h);
    if (!text.empty()) return text;
  }
  return "";
}

std::vector<HWND> ErrorBoxesOf(HWND form) {
  ErrorBoxes boxes{0, {}};
  GetWindowThreadProcessId(form, &boxes.process);
  EnumWindows(CollectErrorBox, reinterpret_cast<LPARAM>(&boxes));
  return boxes.found;
}

}  // namespace

int main(int argc, char** argv) {
  HWND form = FindWindowA(nullptr, zt::kWindowText);
  if (!form) {
    std::fprintf(stderr, "no window \"%s\"\n", zt::kWindowText);
    return 1;
  }

  if (argc > 1 && std::strcmp(argv[1], "--close-errorbox") == 0) {
    const std::vector<HWND> boxes = ErrorBoxesOf(form);
    if (boxes.empty()) return 1;
    HWND ok = GetDlgItem(boxes.front(), IDOK);
    PostMessageA(boxes.front(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ok));
    return 0;
  }

  Children children{form, {}};
  EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (const zt::ComponentInfo& info : zt::AllComponents())
    for (const auto& [c, hwnd] : children.found)
      if (c == info.id) PrintControl(form, hwnd, c);

  POINT origin{0, 0};
  ClientToScreen(form, &origin);
  RECT client;
  GetClientRect(form, &client);
  std::printf("window\t%ld\t%ld\t%ld\t%ld\n", origin.x, origin.y, client.right, client.bottom);

  for (HWND box : ErrorBoxesOf(form))
    std::printf("errorbox\t%s\t%s\n", TextOf(box).c_str(), MessageText(box).c_str());
  std::fflush(stdout);
  return 0;
}
