#include "form_window.h"

#include <windows.h>
#include <ole2.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "focus_order.h"
#include "look.h"
#include "pictures.h"

namespace zt {
namespace {

constexpr char kFormClass[] = "ZenTroviaForm";
constexpr char kApplicationClass[] = "ZenTroviaApplication";
constexpr char kPanelClass[] = "ZenTroviaPanel";
constexpr char kImageClass[] = "ZenTroviaImage";
constexpr std::size_t kComponentCount = static_cast<std::size_t>(Component::Form1);
// The drop-down list of the language box hangs below its 21-pixel field.
constexpr int kComboListHeight = 160;
constexpr int kComboEntryHeight = 13;

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

std::size_t Index(Component c) { return static_cast<std::size_t>(c); }

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  const int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

class Win32FormWindow final : public FormWindow {
 public:
  Win32FormWindow(HINSTANCE instance, FormEventSink sink);
  ~Win32FormWindow() override;

  int Run() override;

  void AppendLine(const std::string& text) override;
  void Repaint() override;
  void Pause(unsigned ms) override { ::Sleep(ms); }
  void BringToFront(Component c) override { Restack(c, HWND_TOP); }
  void SendToBack(Component c) override { Restack(c, HWND_BOTTOM); }
  void SetVisible(Component c, bool visible) override {
    ShowWindow(Hwnd(c), visible ? SW_SHOWNA : SW_HIDE);
  }
  void SetEnabled(Component c, bool enabled) override { EnableWindow(Hwnd(c), enabled); }
  void SetCaption(Component label, const std::string& text) override;
  std::string EditText(Component edit) override { return WindowText(Hwnd(edit)); }
  void SetEditText(Component edit, const std::string& text) override {
    SetWindowTextA(Hwnd(edit), text.c_str());
  }
  bool Checked(Component check_box) override {
    return SendMessageA(Hwnd(check_box), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetChecked(Component check_box, bool checked) override {
    SendMessageA(Hwnd(check_box), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void ClearLanguages() override;
  void AddLanguage(const std::string& entry) override {
    SendMessageA(Hwnd(Component::ComboLanguages), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(entry.c_str()));
  }
  int LanguageIndex() override {
    return static_cast<int>(SendMessageA(Hwnd(Component::ComboLanguages), CB_GETCURSEL, 0, 0));
  }
  // Posted rather than done at once: the click that asks for it is still
  // being handled by the label that is about to go away.
  void Close() override { PostMessageA(form_, WM_CLOSE, 0, 0); }
  void ShowError(const std::string& caption, const std::string& text) override {
    MessageBoxA(IsWindowVisible(form_) ? form_ : application_, text.c_str(), caption.c_str(),
                MB_ICONERROR | MB_OK);
  }

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static Win32FormWindow* Of(HWND any);

  void RegisterClasses();
  void CreateFonts();
  void CreateControls();
  HWND CreateControl(const ComponentInfo& info);
  void AutoSize(Component label);

  LRESULT HandleFormMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(WPARAM wp);
  HBRUSH OnControlColour(HDC dc, HWND control);
  void DrawLabel(const DRAWITEMSTRUCT& item);
  void PaintImage(HWND image);
  void FocusEntered(Component c);
  void MoveFocus(bool forward);
  bool CanFocus(Component c) const;

  void Raise(FormEvent event);
  void Restack(Component c, HWND where) {
    SetWindowPos(Hwnd(c), where, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  HWND Hwnd(Component c) const { return c == Component::Form1 ? form_ : hwnds_[Index(c)]; }
  Component ComponentOf(HWND hwnd) const;
  HBRUSH Brush(Rgb colour);
  HFONT FontOf(Component c) const {
    return static_cast<HFONT>(fonts_[static_cast<std::size_t>(LookOf(c).font)].get());
  }
  HBITMAP PictureOf(Component image) const {
    return static_cast<HBITMAP>(
        (image == Component::ImagePSP ? skin_ : image == Component::Splash ? splash_ : empty_)
            .get());
  }

  HINSTANCE instance_;
  FormEventSink sink_;
  HWND application_ = nullptr;
  HWND form_ = nullptr;
  std::array<HWND, kComponentCount> hwnds_{};
  std::array<GdiObject, 4> fonts_;
  std::vector<std::pair<COLORREF, GdiObject>> brushes_;
  GdiObject skin_, splash_, empty_;
  bool ole_ready_ = false;
  bool busy_ = false;
  bool shown_ = false;
  bool running_ = false;
  // The control that last took the focus inside the window. The focus
  // returning to the window (after an error box, say) is no new entry.
  Component active_ = Component::Form1;
};

Win32FormWindow::Win32FormWindow(HINSTANCE instance, FormEventSink sink)
    : instance_(instance), sink_(std::move(sink)) {
  ole_ready_ = SUCCEEDED(OleInitialize(nullptr));
  skin_ = GdiObject(LoadBitmapResource(instance_, "SKIN"));
  splash_ = GdiObject(LoadJpegResource(instance_, "SPLASH"));
  RegisterClasses();
  CreateFonts();

  // The application window carries the title in the task bar and owns the
  // form, which therefore has no task-bar entry of its own. It has no size;
  // where a window system still gives it a pixel, that pixel is see-through
  // and out of the form's way.
  const int screen_w = GetSystemMetrics(SM_CXSCREEN);
  const int screen_h = GetSystemMetrics(SM_CYSCREEN);
  application_ = CreateWindowExA(
      WS_EX_LAYERED, kApplicationClass, kApplicationTitle,
      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
      nullptr, instance_, this);
  SetLayeredWindowAttributes(application_, 0, 0, LWA_ALPHA);

  // No frame: the window rectangle is the client area.
  form_ = CreateWindowExA(WS_EX_LAYERED, kFormClass, kWindowText, WS_POPUP | WS_CLIPCHILDREN,
                          (screen_w - kClientWidth) / 2, (screen_h - kClientHeight) / 2,
                          kClientWidth, kClientHeight, application_, nullptr, instance_, this);
  SetLayeredWindowAttributes(form_, ToColorRef(kMagenta), 0, LWA_COLORKEY);
  CreateControls();
}

Win32FormWindow::~Win32FormWindow() {
  if (IsWindow(form_)) DestroyWindow(form_);
  if (IsWindow(application_)) DestroyWindow(application_);
  if (ole_ready_) OleUninitialize();
}

void Win32FormWindow::RegisterClasses() {
  HICON icon = LoadIconA(instance_, "MAINICON");
  WNDCLASSA wc{};
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hIcon = icon;

  wc.lpszClassName = kApplicationClass;
  wc.lpfnWndProc = ApplicationProc;
  RegisterClassA(&wc);

  wc.lpszClassName = kFormClass;
  wc.lpfnWndProc = FormProc;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassA(&wc);

  wc.hIcon = nullptr;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kPanelClass;
  wc.lpfnWndProc = PanelProc;
  RegisterClassA(&wc);

  wc.lpszClassName = kImageClass;
  wc.lpfnWndProc = ImageProc;
  RegisterClassA(&wc);
}

int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// `face` when the system has it, else `substitute` when it has that one (a
// face of the same widths), else `face` again for the font mapper to match.
const char* FaceOrSubstitute(const char* face, const char* substitute) {
  HDC dc = GetDC(nullptr);
  auto has = [dc](const char* name) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, name, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
  };
  const char* chosen = !has(face) && has(substitute) ? substitute : face;
  ReleaseDC(nullptr, dc);
  return chosen;
}

void Win32FormWindow::CreateFonts() {
  auto make = [](const char* face, bool bold, bool underline) {
    return GdiObject(CreateFontA(-kFontPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                 face));
  };
  fonts_[static_cast<std::size_t>(Font::SansRegular)] = make("MS Sans Serif", false, false);
  fonts_[static_cast<std::size_t>(Font::SansBold)] = make("MS Sans Serif", true, false);
  fonts_[static_cast<std::size_t>(Font::SansBoldUnderline)] = make("MS Sans Serif", true, true);
  fonts_[static_cast<std::size_t>(Font::ArialBold)] =
      make(FaceOrSubstitute("Arial", "Liberation Sans"), true, false);
}

void Win32FormWindow::CreateControls() {
  // Table order: the window's direct children bottom to top, each followed
  // by its own children.
  for (const ComponentInfo& info : AllComponents()) {
    HWND hwnd = CreateControl(info);
    hwnds_[Index(info.id)] = hwnd;
    // New windows don't all land on top of their siblings; put each there so
    // that creation order is stacking order.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(info.id)), FALSE);
    switch (info.kind) {
      case Kind::Label:
        AutoSize(info.id);
        break;
      case Kind::Edit:
        SendMessageA(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(info.max_length), 0);
        // Borderless and narrow: the text needs every pixel.
        SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
        break;
      case Kind::Memo:
        SendMessageA(hwnd, EM_LIMITTEXT, 0, 0);  // as much as the control holds
        break;
      case Kind::ComboBox:
        // The field's height sets the box's closed height; the entries have
        // their own height.
        SendMessageA(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), info.height - 6);
        SendMessageA(hwnd, CB_SETITEMHEIGHT, 0, kComboEntryHeight);
        SetWindowTextA(hwnd, info.text);
        break;
      default:
        break;
    }
  }
}

HWND Win32FormWindow::CreateControl(const ComponentInfo& info) {
  const char* window_class = "STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  int height = info.height;
  switch (info.kind) {
    case Kind::Image:
      window_class = kImageClass;
      break;
    case Kind::Panel:
      window_class = kPanelClass;
      style |= WS_CLIPCHILDREN;
      break;
    case Kind::Label:
      // Drawn by the window, so that what lies under the label shows through.
      style |= SS_NOTIFY | SS_OWNERDRAW;
      break;
    case Kind::Memo:
      window_class = "EDIT";
      style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
      break;
    case Kind::Edit:
      window_class = "EDIT";
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      break;
    case Kind::CheckBox:
      window_class = "BUTTON";
      style |= BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP;
      break;
    case Kind::ComboBox:
      window_class = "COMBOBOX";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      height += kComboListHeight;
      break;
  }
  HWND parent = Hwnd(info.parent);
  const auto id = static_cast<UINT_PTR>(kControlIdBase + static_cast<int>(info.id));
  const char* text = info.kind == Kind::ComboBox ? "" : info.text;
  return CreateWindowExA(0, window_class, text, style, info.left, info.top, info.width, height,
                         parent, reinterpret_cast<HMENU>(id), instance_, nullptr);
}

void Win32FormWindow::AutoSize(Component label) {
  HWND hwnd = Hwnd(label);
  const std::string text = WindowText(hwnd);
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, FontOf(label));
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  SetWindowPos(hwnd, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32FormWindow::Run() {
  ShowWindow(application_, SW_SHOWNOACTIVATE);
  ShowWindow(form_, SW_SHOWNORMAL);  // raises FormShow
  UpdateWindow(form_);
  SetForegroundWindow(form_);
  // The first control of the focus order that can take the focus.
  const Component first = NextFocus(Component::Form1, true, [this](Component c) {
    return CanFocus(c);
  });
  if (first != Component::Form1) SetFocus(Hwnd(first));

  running_ = true;
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab follows the window's own focus order, whatever the stacking.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && IsChild(form_, msg.hwnd)) {
      MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  running_ = false;
  return static_cast<int>(msg.wParam);
}

void Win32FormWindow::AppendLine(const std::string& text) {
  // The memo holds every line followed by CR LF; new text goes at the end.
  HWND memo = Hwnd(Component::Pantalla);
  const int end = GetWindowTextLengthA(memo);
  SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
  const std::string line = text + "\r\n";
  SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
}

void Win32FormWindow::Repaint() {
  RedrawWindow(form_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32FormWindow::SetCaption(Component label, const std::string& text) {
  SetWindowTextA(Hwnd(label), text.c_str());
  AutoSize(label);
  InvalidateRect(Hwnd(label), nullptr, TRUE);
}

void Win32FormWindow::ClearLanguages() {
  // Emptying the list keeps the box's text (the prompt).
  HWND combo = Hwnd(Component::ComboLanguages);
  const std::string text = WindowText(combo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  SetWindowTextA(combo, text.c_str());
}

void Win32FormWindow::Raise(FormEvent event) {
  if (busy_ || !sink_) return;
  busy_ = true;
  struct Done {
    bool& busy;
    ~Done() { busy = false; }
  } done{busy_};
  sink_(event);
}

Win32FormWindow* Win32FormWindow::Of(HWND any) {
  HWND root = GetAncestor(any, GA_ROOT);
  return reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

Component Win32FormWindow::ComponentOf(HWND hwnd) const {
  // Parts of a control (the language box's field and list) belong to it.
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  if (GetComboBoxInfo(Hwnd(Component::ComboLanguages), &combo) &&
      (hwnd == combo.hwndList || hwnd == combo.hwndItem))
    return Component::ComboLanguages;
  for (HWND h = hwnd; h && h != form_; h = GetParent(h)) {
    const int index = GetDlgCtrlID(h) - kControlIdBase;
    if (index >= 0 && index < static_cast<int>(kComponentCount) &&
        hwnds_[static_cast<std::size_t>(index)] == h)
      return static_cast<Component>(index);
  }
  return Component::Form1;
}

HBRUSH Win32FormWindow::Brush(Rgb colour) {
  const COLORREF key = ToColorRef(colour);
  for (auto& [c, brush] : brushes_)
    if (c == key) return static_cast<HBRUSH>(brush.get());
  brushes_.emplace_back(key, GdiObject(CreateSolidBrush(key)));
  return static_cast<HBRUSH>(brushes_.back().second.get());
}

bool Win32FormWindow::CanFocus(Component c) const {
  // Visible and enabled, and so is every panel that holds it. A control that
  // another panel covers still qualifies.
  if (!IsWindowVisible(Hwnd(c))) return false;
  for (Component at = c; at != Component::Form1; at = Info(at).parent)
    if (!IsWindowEnabled(Hwnd(at))) return false;
  return true;
}

void Win32FormWindow::MoveFocus(bool forward) {
  const Component next =
      NextFocus(ComponentOf(GetFocus()), forward, [this](Component c) { return CanFocus(c); });
  if (next != Component::Form1) SetFocus(Hwnd(next));
}

void Win32FormWindow::FocusEntered(Component c) {
  if (c == active_) return;
  active_ = c;
  if (c == Component::ComboLanguages) Raise(FormEvent::ComboLanguagesEnter);
}

void Win32FormWindow::OnCommand(WPARAM wp) {
  const int index = LOWORD(wp) - kControlIdBase;
  if (index < 0 || index >= static_cast<int>(kComponentCount)) return;
  const auto c = static_cast<Component>(index);
  const UINT code = HIWORD(wp);
  switch (Info(c).kind) {
    case Kind::Label:
      if (code != STN_CLICKED) return;
      if (auto event = ClickEvent(c)) Raise(*event);
      return;
    case Kind::ComboBox:
      if (code == CBN_SETFOCUS) FocusEntered(c);
      if (code == CBN_SELCHANGE) Raise(FormEvent::ComboLanguagesSelect);
      return;
    case Kind::Edit:
    case Kind::Memo:
      if (code == EN_SETFOCUS) FocusEntered(c);
      return;
    case Kind::CheckBox:
      if (code == BN_SETFOCUS) FocusEntered(c);
      return;
    default:
      return;
  }
}

HBRUSH Win32FormWindow::OnControlColour(HDC dc, HWND control) {
  const Look look = LookOf(ComponentOf(control));
  SetTextColor(dc, ToColorRef(look.text));
  SetBkColor(dc, ToColorRef(look.background));
  SetBkMode(dc, OPAQUE);
  return Brush(look.background);
}

void Win32FormWindow::DrawLabel(const DRAWITEMSTRUCT& item) {
  const Component label = ComponentOf(item.hwndItem);
  const Look look = LookOf(label);
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  FillRect(dc, &box, Brush(look.background));
  if (look.transparent) {
    // Show the part of any picture on the same panel that lies under the label.
    RECT at;
    GetWindowRect(item.hwndItem, &at);
    for (const ComponentInfo& info : AllComponents()) {
      if (info.kind != Kind::Image || info.parent != Info(label).parent) continue;
      HBITMAP picture = PictureOf(info.id);
      if (!picture || !IsWindowVisible(Hwnd(info.id))) continue;
      RECT image;
      GetWindowRect(Hwnd(info.id), &image);
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, picture);
      BITMAP bm{};
      GetObjectA(picture, sizeof bm, &bm);
      const RECT picture_on_screen{image.left, image.top, image.left + bm.bmWidth,
                                   image.top + bm.bmHeight};
      RECT overlap;
      if (IntersectRect(&overlap, &picture_on_screen, &at))
        BitBlt(dc, overlap.left - at.left, overlap.top - at.top, overlap.right - overlap.left,
               overlap.bottom - overlap.top, source, overlap.left - image.left,
               overlap.top - image.top, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
  }
  const std::string text = WindowText(item.hwndItem);
  HGDIOBJ old_font = SelectObject(dc, FontOf(label));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(look.text));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_LEFT);
  SelectObject(dc, old_font);
}

void Win32FormWindow::PaintImage(HWND image) {
  const Component c = ComponentOf(image);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(image, &ps);
  RECT client;
  GetClientRect(image, &client);
  FillRect(dc, &client, Brush(LookOf(c).background));
  if (HBITMAP picture = PictureOf(c)) {
    // Unscaled, from the top left corner.
    BITMAP bm{};
    GetObjectA(picture, sizeof bm, &bm);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  EndPaint(image, &ps);
}

LRESULT Win32FormWindow::HandleFormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wp);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(
          OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item->CtlType != ODT_STATIC) break;
      DrawLabel(*item);
      return TRUE;
    }
    case WM_SHOWWINDOW:
      if (wp && !shown_) {
        shown_ = true;
        Raise(FormEvent::FormShow);
      }
      break;
    case WM_DESTROY:
      if (running_) PostQuitMessage(0);  // ends Run's loop, not anyone else's
      return 0;
    default:
      break;
  }
  return DefWindowProcA(form_, msg, wp, lp);
}

LRESULT CALLBACK Win32FormWindow::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->form_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return self->HandleFormMessage(msg, wp, lp);
}

LRESULT CALLBACK Win32FormWindow::ApplicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && self->form_) {
    // Closing the task-bar entry closes the window; activating it activates
    // the window.
    if (msg == WM_CLOSE) {
      PostMessageA(self->form_, WM_CLOSE, 0, 0);
      return 0;
    }
    if (msg == WM_SETFOCUS && IsWindowVisible(self->form_) && IsWindowEnabled(self->form_)) {
      SetActiveWindow(self->form_);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32FormWindow::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      Win32FormWindow* self = Of(hwnd);
      if (!self) break;
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wp), &client,
               self->Brush(LookOf(self->ComponentOf(hwnd)).background));
      return 1;
    }
    // What the controls on a panel tell their parent goes to the window.
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32FormWindow::ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the picture and its margin are painted in one go
    case WM_PAINT:
      if (Win32FormWindow* self = Of(hwnd)) {
        self->PaintImage(hwnd);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

std::unique_ptr<FormWindow> CreateFormWindow(void* instance, FormEventSink sink) {
  return std::make_unique<Win32FormWindow>(static_cast<HINSTANCE>(instance), std::move(sink));
}

}  // namespace zt
