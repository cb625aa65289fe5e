#include "look.h"

namespace zt {
namespace {

using C = Component;

bool IsButtonStrip(C c) {
  return c == C::PanelLocation2 || c == C::PanelActualizar || c == C::PanelInstalar ||
         c == C::PanelDetectarPSP || c == C::PanelSalir;
}

}  // namespace

Look LookOf(Component c) {
  const ComponentInfo& info = Info(c);
  if (c == C::Form1) return {kBlack, false, kLime, Font::SansRegular};
  switch (info.kind) {
    case Kind::Panel:
      return {IsButtonStrip(c) ? kGreen : kDarkGreen, false, kLime, Font::SansRegular};
    case Kind::Image:
      return {LookOf(info.parent).background, false, kLime, Font::SansRegular};
    case Kind::Memo:
      return {kDarkGreen, false, kLime, Font::SansRegular};
    case Kind::Edit:
      return {kEditGreen, false, kLime, Font::ArialBold};
    case Kind::CheckBox:
      return {kDarkGreen, false, kLime, Font::ArialBold};
    case Kind::ComboBox:
      return {kComboGreen, false, kLime, Font::SansBold};
    case Kind::Label:
      break;
  }
  if (IsButtonStrip(info.parent)) return {kGreen, true, kLime, Font::SansBoldUnderline};
  if (info.parent == C::PanelLocation)
    return {kDarkGreen, false, c == C::LabelObservador ? kLime : kGreen, Font::ArialBold};
  return {LookOf(info.parent).background, true, kLime, Font::SansBold};
}

}  // namespace zt
