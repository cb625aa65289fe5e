// The window's logic that needs no screen: the Tab key's path and the looks.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "updater/win32/window/focus_order.h"
#include "updater/win32/window/look.h"

namespace zt {
namespace {

using C = Component;

std::vector<C> TabWalk(C start, bool forward, const std::set<C>& refused, int steps) {
  std::vector<C> visited;
  C at = start;
  for (int i = 0; i < steps; ++i) {
    at = NextFocus(at, forward, [&](C c) { return !refused.contains(c); });
    visited.push_back(at);
  }
  return visited;
}

TEST(FocusOrder, TabVisitsTheFormThenTheScreenThenTheLanguageBoxAndWraps) {
  EXPECT_EQ(TabWalk(C::Form1, true, {}, 9),
            (std::vector<C>{C::EditNombre, C::EditLat, C::EditLon, C::EditAlt, C::EditOffset,
                            C::CheckBoxVerano, C::Pantalla, C::ComboLanguages, C::EditNombre}));
  EXPECT_EQ(TabWalk(C::EditNombre, false, {}, 3),
            (std::vector<C>{C::ComboLanguages, C::Pantalla, C::CheckBoxVerano}));
  // From nothing (or a panel) backwards starts at the last control.
  EXPECT_EQ(TabWalk(C::PanelLocation, false, {}, 1), std::vector<C>{C::ComboLanguages});
}

TEST(FocusOrder, SkipsControlsThatCannotTakeTheFocus) {
  // After a language is chosen the language box is hidden; the location
  // form's controls remain, covered or not.
  EXPECT_EQ(TabWalk(C::Pantalla, true, {C::ComboLanguages}, 2),
            (std::vector<C>{C::EditNombre, C::EditLat}));
  // Only one control left: Tab stays on it.
  const std::set<C> all_but_combo{C::EditNombre, C::EditLat,        C::EditLon,
                                  C::EditAlt,    C::EditOffset,     C::CheckBoxVerano,
                                  C::Pantalla};
  EXPECT_EQ(TabWalk(C::ComboLanguages, true, all_but_combo, 2),
            (std::vector<C>{C::ComboLanguages, C::ComboLanguages}));
  std::set<C> everything(all_but_combo);
  everything.insert(C::ComboLanguages);
  EXPECT_EQ(TabWalk(C::EditLat, true, everything, 1), std::vector<C>{C::Form1});
}

TEST(Look, EveryComponentReadsOnItsBackground) {
  for (const ComponentInfo& info : AllComponents()) {
    const Look look = LookOf(info.id);
    EXPECT_NE(look.background, kMagenta) << info.name << " would be cut out by the colour key";
    if (info.kind == Kind::Label || info.kind == Kind::Memo || info.kind == Kind::Edit ||
        info.kind == Kind::ComboBox) {
      EXPECT_NE(look.text, look.background) << info.name;
    }
    // A transparent label falls back to its parent's colour.
    if (look.transparent) {
      EXPECT_EQ(look.background, LookOf(info.parent).background) << info.name;
    }
  }
}

TEST(Look, ButtonLabelsAreLimeOnTheirGreenStrips) {
  for (C label : {C::LabelSaveLocation, C::LabelDownload, C::LabelInstalar, C::LabelBotonPSP,
                  C::LabelSalir}) {
    const Look look = LookOf(label);
    EXPECT_EQ(look.text, kLime) << Info(label).name;
    EXPECT_EQ(look.font, Font::SansBoldUnderline) << Info(label).name;
    EXPECT_EQ(LookOf(Info(label).parent).background, kGreen) << Info(label).name;
  }
  EXPECT_EQ(LookOf(C::LabelObservador).text, kLime);
  EXPECT_EQ(LookOf(C::LabelNombre).text, kGreen);
  EXPECT_EQ(LookOf(C::EditLat).background, kEditGreen);
}

}  // namespace
}  // namespace zt
