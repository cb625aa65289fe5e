// How each component looks: background, text colour and font. Kept apart
// from the Win32 code so the window and its tests read one table.
#pragma once

#include <cstdint>

#include "updater/core/components.h"

namespace zt {

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kMagenta{255, 0, 255};  // the colour key: not drawn, clicks pass
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kLime{0, 255, 0};
inline constexpr Rgb kDarkGreen{0, 51, 0};
inline constexpr Rgb kEditGreen{0, 32, 0};
inline constexpr Rgb kComboGreen{0, 34, 0};

// All fonts are 8 points, 11 pixels high.
enum class Font { SansRegular, SansBold, SansBoldUnderline, ArialBold };
inline constexpr int kFontPixels = 11;

struct Look {
  Rgb background;
  // Transparent components show what lies under them (the strip, or a picture
  // on the same panel); `background` is then the parent's colour, the
  // fallback where no picture lies under them.
  bool transparent;
  Rgb text;
  Font font;
};

Look LookOf(Component c);

}  // namespace zt
