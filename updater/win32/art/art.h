// The program's pictures, drawn in code: the console skin, the splash and
// the icon. Built by a small host program at build time (make_art.cpp) and
// linked into the program as resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zt::art {

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};

inline constexpr Pixel kKey{255, 0, 255};  // the window's colour key

struct Canvas {
  int width = 0, height = 0;
  std::vector<Pixel> pixels;  // row by row from the top

  Canvas(int w, int h, Pixel fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  Pixel& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Pixel& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Skin: 542 x 234, the console's front; magenta outside its outline and in
// the whole last column; the display black at x 115..427, y 20..197.
inline constexpr int kSkinWidth = 542, kSkinHeight = 234;
inline constexpr int kDisplayLeft = 115, kDisplayRight = 427;  // inclusive
inline constexpr int kDisplayTop = 20, kDisplayBottom = 197;   // inclusive
Canvas DrawSkin();

// Splash: 318 x 180, a night sky over the earth's rim with a satellite.
inline constexpr int kSplashWidth = 318, kSplashHeight = 180;
Canvas DrawSplash();

// Icon: 32 x 32. `opaque` marks the pixels that belong to the picture.
inline constexpr int kIconSize = 32;
Canvas DrawIcon(std::vector<bool>& opaque);

// File encodings.
std::string EncodeBmp24(const Canvas& c);
std::string EncodePpm(const Canvas& c);
// One 32 x 32 image with a 256-colour palette and a transparency mask.
std::string EncodeIcon256(const Canvas& c, const std::vector<bool>& opaque);

}  // namespace zt::art
