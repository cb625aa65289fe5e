// The real window under a display: its controls as the table lays them out,
// the view operations on them, and the events the controls raise.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "updater/win32/window/control_ids.h"
#include "updater/win32/window/form_window.h"

namespace zt {
namespace {

using C = Component;

class FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateFormWindow(GetModuleHandleA(nullptr), [this](FormEvent e) {
      events_.push_back(e);
      if (during_event_) during_event_();
    });
    form_ = FindWindowA(nullptr, kWindowText);
    ASSERT_NE(form_, nullptr);
  }
  void TearDown() override { window_.reset(); }

  HWND Control(C c) { return FindControl(form_, c); }
  std::string Text(C c) {
    char text[1024] = {};
    GetWindowTextA(Control(c), text, sizeof text);
    return text;
  }
  RECT InParent(C c) {
    RECT r;
    GetWindowRect(Control(c), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(Control(c)), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // The window's direct children from the top of the stacking order down.
  std::vector<C> Stacking() {
    std::vector<C> order;
    for (HWND h = GetWindow(form_, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
      order.push_back(ControlComponent(form_, h));
    return order;
  }
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  void ClickLabel(C label) {
    SendMessageA(Control(label), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageA(Control(label), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  }

  std::unique_ptr<FormWindow> window_;
  HWND form_ = nullptr;
  std::vector<FormEvent> events_;
  std::function<void()> during_event_;
};

TEST_F(FormWindowTest, TheWindowIsABorderlessConsoleShapeWithItsTitles) {
  RECT client;
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, 541);
  EXPECT_EQ(client.bottom, 234);
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form_, &key, nullptr, &flags));
  EXPECT_EQ(key, RGB(255, 0, 255));
  EXPECT_TRUE(flags & LWA_COLORKEY);
  // The owner carries the application title (the task-bar entry).
  char title[64] = {};
  GetWindowTextA(GetWindow(form_, GW_OWNER), title, sizeof title);
  EXPECT_STREQ(title, kApplicationTitle);
}

TEST_F(FormWindowTest, EveryComponentIsAControlWhereTheTableSays) {
  for (const ComponentInfo& info : AllComponents()) {
    SCOPED_TRACE(info.name);
    HWND hwnd = Control(info.id);
    ASSERT_NE(hwnd, nullptr);
    const RECT r = InParent(info.id);
    EXPECT_EQ(r.left, info.left);
    EXPECT_EQ(r.top, info.top);
    if (info.kind == Kind::Label) {
      // Sized to their text.
      EXPECT_GT(r.right - r.left, 0);
      EXPECT_GT(r.bottom - r.top, 8);
      EXPECT_EQ(Text(info.id), info.text);
    } else {
      EXPECT_EQ(r.right - r.left, info.width);
      EXPECT_EQ(r.bottom - r.top, info.height);
    }
    if (info.kind == Kind::Edit) {
      EXPECT_EQ(Text(info.id), info.text);
      EXPECT_EQ(SendMessageA(hwnd, EM_GETLIMITTEXT, 0, 0), info.max_length);
    }
  }
  EXPECT_EQ(Text(C::ComboLanguages), kLanguagePrompt);
  EXPECT_EQ(SendMessageA(Control(C::ComboLanguages), CB_GETCOUNT, 0, 0), 0);
  const LONG memo = GetWindowLongA(Control(C::Pantalla), GWL_STYLE);
  EXPECT_TRUE(memo & ES_READONLY);
  EXPECT_TRUE(memo & WS_VSCROLL);
  EXPECT_FALSE(memo & ES_AUTOHSCROLL);  // long lines wrap
  EXPECT_EQ(Text(C::Pantalla), "");
  EXPECT_EQ(SendMessageA(Control(C::CheckBoxVerano), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // Direct children stack in table order, the last one on top.
  EXPECT_EQ(Stacking(), (std::vector<C>{C::PanelSeleccionIdioma, C::PanelSalir, C::Pantalla,
                                        C::PanelDetectarPSP, C::PanelInstalar, C::PanelActualizar,
                                        C::PanelLocation, C::PanelLocation2, C::ImagePSP}));
}

TEST_F(FormWindowTest, StackingMovesOnlyTheWindowsDirectChildren) {
  window_->BringToFront(C::PanelInstalar);
  window_->SendToBack(C::PanelLocation);
  const std::vector<C> order = Stacking();
  EXPECT_EQ(order.front(), C::PanelInstalar);
  EXPECT_EQ(order.back(), C::PanelLocation);
  EXPECT_EQ(order.size(), 9u);
  // A panel's own children keep their order.
  EXPECT_EQ(GetWindow(Control(C::PanelLocation), GW_CHILD), Control(C::LabelCalSky));
}

TEST_F(FormWindowTest, TheScreenKeepsEveryLineAppended) {
  for (const char* line : {"Hola", "", "PSP encontrada en la unidad P:"}) window_->AppendLine(line);
  EXPECT_EQ(Text(C::Pantalla), "Hola\r\n\r\nPSP encontrada en la unidad P:\r\n");
  window_->Repaint();
}

TEST_F(FormWindowTest, CaptionsVisibilityAndTheLocationForm) {
  const RECT before = InParent(C::LabelBotonPSP);
  window_->SetCaption(C::LabelBotonPSP, "Search for the PSP console now");
  const RECT after = InParent(C::LabelBotonPSP);
  EXPECT_EQ(Text(C::LabelBotonPSP), "Search for the PSP console now");
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.left, before.left);

  window_->SetVisible(C::LabelDownload, false);
  EXPECT_FALSE(GetWindowLongA(Control(C::LabelDownload), GWL_STYLE) & WS_VISIBLE);
  window_->SetEnabled(C::PanelSeleccionIdioma, false);
  EXPECT_FALSE(IsWindowEnabled(Control(C::PanelSeleccionIdioma)));

  window_->SetEditText(C::EditLat, "-33.86");
  EXPECT_EQ(window_->EditText(C::EditLat), "-33.86");
  EXPECT_FALSE(window_->Checked(C::CheckBoxVerano));
  window_->SetChecked(C::CheckBoxVerano, true);
  EXPECT_TRUE(window_->Checked(C::CheckBoxVerano));
}

TEST_F(FormWindowTest, TheLanguageListKeepsItsOrderAndEmptyingItKeepsTheText) {
  window_->ClearLanguages();
  EXPECT_EQ(Text(C::ComboLanguages), kLanguagePrompt);
  window_->AddLanguage("Zulu");
  window_->AddLanguage("English");
  window_->AddLanguage("");
  HWND combo = Control(C::ComboLanguages);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  char entry[32] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
  EXPECT_STREQ(entry, "Zulu");  // unsorted
  EXPECT_EQ(window_->LanguageIndex(), -1);
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(window_->LanguageIndex(), 1);

  // A chosen entry's text stays in the box's field when the list is emptied
  // for a new listing.
  window_->ClearLanguages();
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(window_->LanguageIndex(), -1);
  EXPECT_EQ(Text(C::ComboLanguages), "English");
}

TEST_F(FormWindowTest, ButtonLabelsRaiseTheirClickAndOtherLabelsNothing) {
  const struct {
    C label;
    std::vector<FormEvent> raised;
  } cases[] = {
      {C::LabelSalir, {FormEvent::LabelSalirClick}},
      {C::LabelBotonPSP, {FormEvent::LabelBotonPSPClick}},
      {C::LabelSaveLocation, {FormEvent::LabelSaveLocationClick}},
      {C::LabelDownload, {FormEvent::LabelDownloadClick}},
      {C::LabelInstalar, {FormEvent::LabelInstalarClick}},
      {C::LabelNombre, {}},
      {C::LabelVersion, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Info(c.label).name);
    events_.clear();
    ClickLabel(c.label);
    EXPECT_EQ(events_, c.raised);
  }
  // A click on a strip beside its label does nothing.
  events_.clear();
  SendMessageA(Control(C::PanelDetectarPSP), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(270, 7));
  EXPECT_TRUE(events_.empty());
}

TEST_F(FormWindowTest, TheLanguageBoxRaisesEnterOnlyWhenTheFocusComesFromAnotherControl) {
  ShowWindow(form_, SW_SHOWNORMAL);
  SetForegroundWindow(form_);
  SetFocus(Control(C::ComboLanguages));
  EXPECT_EQ(events_, (std::vector<FormEvent>{FormEvent::FormShow, FormEvent::ComboLanguagesEnter}));

  // The focus goes to another window (an error box, say) and comes back.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  SetFocus(other);
  SetFocus(Control(C::ComboLanguages));
  DestroyWindow(other);
  EXPECT_EQ(events_.size(), 2u);

  // Leaving for a control of the window and entering again lists anew.
  SetFocus(Control(C::EditNombre));
  SetFocus(Control(C::ComboLanguages));
  EXPECT_EQ(events_.back(), FormEvent::ComboLanguagesEnter);
  EXPECT_EQ(events_.size(), 3u);
}

TEST_F(FormWindowTest, ChoosingAnEntryByKeyboardRaisesSelect) {
  window_->AddLanguage("English");
  window_->AddLanguage("Espa\xF1ol");
  ShowWindow(form_, SW_SHOWNORMAL);
  SetForegroundWindow(form_);
  SetFocus(Control(C::ComboLanguages));
  events_.clear();
  SendMessageA(GetFocus(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(events_, std::vector<FormEvent>{FormEvent::ComboLanguagesSelect});
  EXPECT_EQ(window_->LanguageIndex(), 0);
}

TEST_F(FormWindowTest, AnEventRaisedWhileAHandlerRunsIsDropped) {
  ShowWindow(form_, SW_SHOWNORMAL);
  SetForegroundWindow(form_);
  SetFocus(Control(C::EditNombre));
  events_.clear();
  // The search handler's work moves the focus into the language box.
  during_event_ = [this] {
    during_event_ = nullptr;
    SetFocus(Control(C::ComboLanguages));
  };
  ClickLabel(C::LabelBotonPSP);
  EXPECT_EQ(events_, std::vector<FormEvent>{FormEvent::LabelBotonPSPClick});
}

TEST_F(FormWindowTest, TabFollowsTheFocusOrderAndClosingEndsTheLoop) {
  const struct {
    bool language_panel_shown;
    bool close_from_task_bar;  // else by the exit label's Close
    std::vector<FormEvent> raised;
  } cases[] = {
      // Seven Tabs from the first control reach the language box.
      {true, false, {FormEvent::FormShow, FormEvent::ComboLanguagesEnter}},
      // Hidden with its panel, the language box is skipped.
      {false, false, {FormEvent::FormShow}},
      {false, true, {FormEvent::FormShow}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language_panel_shown);
    if (!window_) SetUp();
    window_->SetVisible(C::PanelSeleccionIdioma, c.language_panel_shown);
    // Run gives the focus to the first control, EditNombre, then handles
    // what is queued.
    for (int i = 0; i < 7; ++i)
      PostMessageA(Control(C::EditNombre), WM_KEYDOWN, VK_TAB, 0);
    if (c.close_from_task_bar)
      PostMessageA(GetWindow(form_, GW_OWNER), WM_CLOSE, 0, 0);
    else
      window_->Close();
    EXPECT_EQ(window_->Run(), 0);
    EXPECT_FALSE(IsWindow(form_));
    EXPECT_EQ(events_, c.raised);
    events_.clear();
    window_.reset();
  }
}

}  // namespace
}  // namespace zt
