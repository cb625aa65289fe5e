#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zt::art {
namespace {

// --- Shapes -----------------------------------------------------------------

// True when (x, y), a pixel's centre, lies inside the rounded rectangle
// [x0, x1] x [y0, y1] with corner radius r.
bool InRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
  if (x < x0 || x > x1 || y < y0 || y > y1) return false;
  const double cx = std::clamp(x, x0 + r, x1 - r);
  const double cy = std::clamp(y, y0 + r, y1 - r);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool InCircle(double x, double y, double cx, double cy, double r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

Pixel Mix(Pixel a, Pixel b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](std::uint8_t u, std::uint8_t v) {
    return static_cast<std::uint8_t>(std::lround(u + (v - u) * t));
  };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void FillRoundRect(Canvas& c, int x0, int y0, int x1, int y1, int r, Pixel colour) {
  for (int y = std::max(0, y0); y <= std::min(c.height - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(c.width - 1, x1); ++x)
      if (InRoundRect(x + 0.5, y + 0.5, x0, y0, x1 + 1, y1 + 1, r)) c.at(x, y) = colour;
}

void FillCircle(Canvas& c, double cx, double cy, double r, Pixel colour) {
  for (int y = std::max(0, int(cy - r) - 1); y <= std::min(c.height - 1, int(cy + r) + 1); ++y)
    for (int x = std::max(0, int(cx - r) - 1); x <= std::min(c.width - 1, int(cx + r) + 1); ++x)
      if (InCircle(x + 0.5, y + 0.5, cx, cy, r)) c.at(x, y) = colour;
}

void Ring(Canvas& c, double cx, double cy, double r, double thickness, Pixel colour) {
  for (int y = std::max(0, int(cy - r) - 1); y <= std::min(c.height - 1, int(cy + r) + 1); ++y)
    for (int x = std::max(0, int(cx - r) - 1); x <= std::min(c.width - 1, int(cx + r) + 1); ++x)
      if (InCircle(x + 0.5, y + 0.5, cx, cy, r) &&
          !InCircle(x + 0.5, y + 0.5, cx, cy, r - thickness))
        c.at(x, y) = colour;
}

void Line(Canvas& c, double x0, double y0, double x1, double y1, double width, Pixel colour) {
  const double len = std::hypot(x1 - x0, y1 - y0);
  const int steps = std::max(1, int(len * 2));
  for (int i = 0; i <= steps; ++i) {
    const double t = double(i) / steps;
    FillCircle(c, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour);
  }
}

// --- A small block font for the name ------------------------------------------

struct Glyph {
  char letter;
  const char* rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
};

// Draws upper-case text with each font dot a scale x scale square.
void Text(Canvas& c, int x, int y, const char* text, int scale, Pixel colour) {
  for (const char* p = text; *p; ++p, x += 6 * scale) {
    for (const Glyph& g : kGlyphs) {
      if (g.letter != *p) continue;
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g.rows[row][col] == '#')
            for (int dy = 0; dy < scale; ++dy)
              for (int dx = 0; dx < scale; ++dx) {
                const int px = x + col * scale + dx, py = y + row * scale + dy;
                if (px >= 0 && py >= 0 && px < c.width && py < c.height) c.at(px, py) = colour;
              }
    }
  }
}

// A fixed pseudo-random sequence, so every build draws the same stars.
struct Lcg {
  std::uint32_t state;
  std::uint32_t Next() { return state = state * 1664525u + 1013904223u; }
  double Unit() { return (Next() >> 8) / double(1u << 24); }
};

// --- Skin -----------------------------------------------------------------------

constexpr Pixel kBody{38, 38, 44};
constexpr Pixel kBodyRim{78, 78, 88};
constexpr Pixel kBodyShade{26, 26, 30};
constexpr Pixel kBezel{14, 14, 16};
constexpr Pixel kKeyGrey{70, 70, 78};
constexpr Pixel kKeyLight{120, 120, 130};

void DrawDPad(Canvas& c, int cx, int cy) {
  FillCircle(c, cx, cy, 34, kBodyShade);
  const int arm = 11, reach = 27;
  FillRoundRect(c, cx - arm, cy - reach, cx + arm, cy - 6, 3, kKeyGrey);  // up
  FillRoundRect(c, cx - arm, cy + 6, cx + arm, cy + reach, 3, kKeyGrey);  // down
  FillRoundRect(c, cx - reach, cy - arm, cx - 6, cy + arm, 3, kKeyGrey);  // left
  FillRoundRect(c, cx + 6, cy - arm, cx + reach, cy + arm, 3, kKeyGrey);  // right
  FillRoundRect(c, cx - 7, cy - 7, cx + 7, cy + 7, 2, kKeyGrey);
  // Arrow marks on the four arms.
  for (int i = 0; i < 5; ++i) {
    Line(c, cx - i, cy - 20 + i, cx + i, cy - 20 + i, 1, kKeyLight);
    Line(c, cx - i, cy + 20 - i, cx + i, cy + 20 - i, 1, kKeyLight);
    Line(c, cx - 20 + i, cy - i, cx - 20 + i, cy + i, 1, kKeyLight);
    Line(c, cx + 20 - i, cy - i, cx + 20 - i, cy + i, 1, kKeyLight);
  }
}

void DrawFaceButtons(Canvas& c, int cx, int cy) {
  FillCircle(c, cx, cy, 38, kBodyShade);
  const int d = 22;
  const double r = 11;
  // Top: triangle; right: circle; bottom: cross; left: square.
  FillCircle(c, cx, cy - d, r, kKeyGrey);
  FillCircle(c, cx + d, cy, r, kKeyGrey);
  FillCircle(c, cx, cy + d, r, kKeyGrey);
  FillCircle(c, cx - d, cy, r, kKeyGrey);
  const Pixel teal{70, 200, 160}, red{230, 90, 90}, blue{120, 150, 235}, pink{225, 140, 200};
  Line(c, cx, cy - d - 6, cx - 6, cy - d + 4, 1.6, teal);
  Line(c, cx - 6, cy - d + 4, cx + 6, cy - d + 4, 1.6, teal);
  Line(c, cx + 6, cy - d + 4, cx, cy - d - 6, 1.6, teal);
  Ring(c, cx + d, cy, 6, 1.8, red);
  Line(c, cx - 5, cy + d - 5, cx + 5, cy + d + 5, 1.6, blue);
  Line(c, cx - 5, cy + d + 5, cx + 5, cy + d - 5, 1.6, blue);
  Line(c, cx - d - 5, cy - 5, cx - d + 5, cy - 5, 1.4, pink);
  Line(c, cx - d + 5, cy - 5, cx - d + 5, cy + 5, 1.4, pink);
  Line(c, cx - d + 5, cy + 5, cx - d - 5, cy + 5, 1.4, pink);
  Line(c, cx - d - 5, cy + 5, cx - d - 5, cy - 5, 1.4, pink);
}

// --- Encodings --------------------------------------------------------------

void Put16(std::string& out, unsigned v) {
  out += char(v & 0xFF);
  out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutInfoHeader(std::string& out, int width, int height, int bits, std::uint32_t image_size,
                   std::uint32_t colours) {
  Put32(out, 40);
  Put32(out, std::uint32_t(width));
  Put32(out, std::uint32_t(height));
  Put16(out, 1);
  Put16(out, unsigned(bits));
  Put32(out, 0);  // no compression
  Put32(out, image_size);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
}

// The icon's 256 colours: a 6 x 6 x 6 cube followed by 40 greys.
std::vector<Pixel> IconPalette() {
  std::vector<Pixel> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)});
  for (int i = 0; i < 40; ++i) {
    const auto v = std::uint8_t(4 + i * 6);
    palette.push_back({v, v, v});
  }
  return palette;
}

std::uint8_t Nearest(const std::vector<Pixel>& palette, Pixel p) {
  int best = 0, best_distance = 1 << 30;
  for (int i = 0; i < int(palette.size()); ++i) {
    const int dr = p.r - palette[i].r, dg = p.g - palette[i].g, db = p.b - palette[i].b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < best_distance) best = i, best_distance = d;
  }
  return std::uint8_t(best);
}

}  // namespace

Canvas DrawSkin() {
  Canvas c(kSkinWidth, kSkinHeight, kKey);
  // The body: a wide rounded slab; its right edge stops short of the last
  // column, which the window doesn't show.
  const int x0 = 2, y0 = 6, x1 = kSkinWidth - 4, y1 = kSkinHeight - 6;
  FillRoundRect(c, x0, y0, x1, y1, 100, kBodyRim);
  FillRoundRect(c, x0 + 3, y0 + 3, x1 - 3, y1 - 3, 97, kBody);
  // A soft highlight along the top edge.
  for (int x = 0; x < kSkinWidth; ++x)
    for (int y = y0 + 3; y < y0 + 14; ++y)
      if (c.at(x, y) == kBody) c.at(x, y) = Mix(kBodyRim, kBody, (y - y0 - 3) / 11.0);
  // Shoulder buttons drawn into the upper corners.
  Line(c, 40, 30, 95, 14, 3, kKeyGrey);
  Line(c, kSkinWidth - 42, 30, kSkinWidth - 97, 14, 3, kKeyGrey);

  // The display: a dark bezel around a black screen.
  FillRoundRect(c, kDisplayLeft - 9, kDisplayTop - 12, kDisplayRight + 9, kDisplayBottom + 10, 6,
                kBezel);
  FillRoundRect(c, kDisplayLeft, kDisplayTop, kDisplayRight, kDisplayBottom, 0, Pixel{0, 0, 0});

  DrawDPad(c, 58, 100);
  // Analogue stick below the pad.
  FillCircle(c, 58, 172, 16, kBodyShade);
  FillCircle(c, 58, 172, 12, kKeyGrey);
  FillCircle(c, 58, 172, 8, kKeyLight);
  DrawFaceButtons(c, 482, 102);

  // The row of small keys under the display, and the name.
  for (int i = 0; i < 5; ++i)
    FillRoundRect(c, 178 + i * 40, 214, 178 + i * 40 + 24, 219, 3, kKeyGrey);
  Text(c, 50, 198, "ZENTROVIA", 1, kKeyLight);
  // Start / select lights on the right.
  FillCircle(c, 470, 170, 3, Pixel{0, 180, 60});
  FillCircle(c, 485, 170, 3, Pixel{200, 120, 0});

  for (int y = 0; y < kSkinHeight; ++y) c.at(kSkinWidth - 1, y) = kKey;
  return c;
}

Canvas DrawSplash() {
  Canvas c(kSplashWidth, kSplashHeight, Pixel{});
  const Pixel sky_top{2, 6, 24}, sky_low{14, 34, 80};
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.at(x, y) = Mix(sky_top, sky_low, double(y) / c.height);

  Lcg random{20240611u};
  for (int i = 0; i < 170; ++i) {
    const int x = int(random.Unit() * c.width), y = int(random.Unit() * c.height);
    const auto v = std::uint8_t(120 + random.Unit() * 135);
    c.at(x, y) = Pixel{v, v, std::uint8_t(std::min(255, v + 20))};
  }

  // The earth's rim: a large disc whose top rises into the picture, with a
  // thin glow of atmosphere.
  const double ex = 110, ey = 560, er = 440;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double d = std::hypot(x + 0.5 - ex, y + 0.5 - ey);
      if (d <= er) {
        const double depth = (er - d) / 60.0;
        c.at(x, y) = Mix(Pixel{40, 120, 190}, Pixel{6, 40, 70}, depth);
      } else if (d <= er + 7) {
        c.at(x, y) = Mix(Pixel{120, 190, 255}, c.at(x, y), (d - er) / 7.0);
      }
    }

  // A satellite's track across the sky, dotted, and the satellite on it.
  for (double t = 0; t <= 1.0; t += 0.012) {
    const double x = 20 + t * 290, y = 150 - std::sin(t * 3.14159) * 110;
    FillCircle(c, x, y, 0.9, Pixel{110, 230, 120});
  }
  const double sx = 228, sy = 150 - std::sin(0.717 * 3.14159) * 110;
  FillRoundRect(c, int(sx) - 18, int(sy) - 4, int(sx) - 7, int(sy) + 3, 1, Pixel{60, 90, 170});
  FillRoundRect(c, int(sx) + 7, int(sy) - 4, int(sx) + 18, int(sy) + 3, 1, Pixel{60, 90, 170});
  Line(c, sx - 7, sy, sx + 7, sy, 1, Pixel{200, 200, 210});
  FillRoundRect(c, int(sx) - 4, int(sy) - 5, int(sx) + 4, int(sy) + 5, 2, Pixel{230, 200, 90});

  Text(c, 20, 52, "ZENTROVIA", 3, Pixel{0, 255, 0});
  return c;
}

Canvas DrawIcon(std::vector<bool>& opaque) {
  Canvas c(kIconSize, kIconSize, Pixel{});
  opaque.assign(std::size_t(kIconSize) * kIconSize, false);
  // A small console: dark body, green screen, a lime satellite on it.
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x)
      if (InRoundRect(x + 0.5, y + 0.5, 0, 6, 32, 26, 9)) {
        c.at(x, y) = Pixel{51, 51, 51};
        opaque[std::size_t(y) * kIconSize + x] = true;
      }
  FillRoundRect(c, 8, 9, 23, 22, 0, Pixel{0, 51, 0});
  FillCircle(c, 4, 16, 2, Pixel{153, 153, 153});
  FillCircle(c, 27, 16, 2, Pixel{153, 153, 153});
  FillRoundRect(c, 10, 14, 13, 16, 0, Pixel{0, 153, 255});
  FillRoundRect(c, 18, 14, 21, 16, 0, Pixel{0, 153, 255});
  FillRoundRect(c, 14, 13, 17, 17, 0, Pixel{0, 255, 0});
  return c;
}

std::string EncodeBmp24(const Canvas& c) {
  const int row = (c.width * 3 + 3) / 4 * 4;
  const std::uint32_t image_size = std::uint32_t(row) * c.height;
  std::string out;
  out += "BM";
  Put32(out, 14 + 40 + image_size);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, c.width, c.height, 24, image_size, 0);
  for (int y = c.height - 1; y >= 0; --y) {  // bottom-up
    std::string line(std::size_t(row), '\0');
    for (int x = 0; x < c.width; ++x) {
      const Pixel& p = c.at(x, y);
      line[std::size_t(x) * 3] = char(p.b);
      line[std::size_t(x) * 3 + 1] = char(p.g);
      line[std::size_t(x) * 3 + 2] = char(p.r);
    }
    out += line;
  }
  return out;
}

std::string EncodePpm(const Canvas& c) {
  std::string out = "P6\n" + std::to_string(c.width) + " " + std::to_string(c.height) + "\n255\n";
  for (const Pixel& p : c.pixels) {
    out += char(p.r);
    out += char(p.g);
    out += char(p.b);
  }
  return out;
}

std::string EncodeIcon256(const Canvas& c, const std::vector<bool>& opaque) {
  const std::vector<Pixel> palette = IconPalette();
  const int mask_row = (c.width + 31) / 32 * 4;
  const std::uint32_t pixel_bytes = std::uint32_t(c.width) * c.height;
  const std::uint32_t mask_bytes = std::uint32_t(mask_row) * c.height;
  const std::uint32_t image_bytes = 40 + 256 * 4 + pixel_bytes + mask_bytes;

  std::string out;
  Put16(out, 0);  // icon directory: reserved, type 1 (icon), one image
  Put16(out, 1);
  Put16(out, 1);
  out += char(c.width);
  out += char(c.height);
  out += char(0);  // 0 = 256 colours
  out += char(0);
  Put16(out, 1);  // planes
  Put16(out, 8);  // bits per pixel
  Put32(out, image_bytes);
  Put32(out, 6 + 16);
  // The image: its header counts the colour and mask halves together.
  PutInfoHeader(out, c.width, c.height * 2, 8, pixel_bytes + mask_bytes, 256);
  for (const Pixel& p : palette) {
    out += char(p.b);
    out += char(p.g);
    out += char(p.r);
    out += char(0);
  }
  for (int y = c.height - 1; y >= 0; --y)
    for (int x = 0; x < c.width; ++x)
      out += char(opaque[std::size_t(y) * c.width + x] ? Nearest(palette, c.at(x, y)) : 0);
  // Mask: a set bit leaves the screen as it is.
  for (int y = c.height - 1; y >= 0; --y) {
    std::string bits(std::size_t(mask_row), '\0');
    for (int x = 0; x < c.width; ++x)
      if (!opaque[std::size_t(y) * c.width + x]) bits[std::size_t(x / 8)] |= char(0x80 >> (x % 8));
    out += bits;
  }
  return out;
}

}  // namespace zt::art
