// The pictures carry the window's shape: the skin's magenta is cut away by
// the colour key, so it must lie exactly outside the console.
#include <gtest/gtest.h>

#include <cstdint>
#include <queue>
#include <string>
#include <vector>

#include "art.h"

namespace zt::art {
namespace {

std::uint32_t Read32(const std::string& s, std::size_t at) {
  return std::uint32_t(std::uint8_t(s[at])) | std::uint32_t(std::uint8_t(s[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(s[at + 2])) << 16 | std::uint32_t(std::uint8_t(s[at + 3])) << 24;
}
unsigned Read16(const std::string& s, std::size_t at) {
  return unsigned(std::uint8_t(s[at])) | unsigned(std::uint8_t(s[at + 1])) << 8;
}

TEST(Skin, MagentaIsExactlyTheOutsideOfTheConsole) {
  const Canvas skin = DrawSkin();
  ASSERT_EQ(skin.width, 542);
  ASSERT_EQ(skin.height, 234);
  for (int y = 0; y < skin.height; ++y) EXPECT_EQ(skin.at(541, y), kKey) << "row " << y;
  for (auto [x, y] : {std::pair{0, 0}, {540, 0}, {0, 233}, {540, 233}})
    EXPECT_EQ(skin.at(x, y), kKey) << x << "," << y;

  // Every magenta pixel must be reachable from the picture's edge through
  // magenta: a keyed hole inside the body would let clicks fall through it.
  std::vector<bool> reached(skin.pixels.size(), false);
  std::queue<std::pair<int, int>> todo;
  auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= skin.width || y >= skin.height) return;
    const std::size_t i = std::size_t(y) * skin.width + x;
    if (reached[i] || !(skin.at(x, y) == kKey)) return;
    reached[i] = true;
    todo.push({x, y});
  };
  for (int x = 0; x < skin.width; ++x) visit(x, 0), visit(x, skin.height - 1);
  for (int y = 0; y < skin.height; ++y) visit(0, y), visit(skin.width - 1, y);
  while (!todo.empty()) {
    auto [x, y] = todo.front();
    todo.pop();
    visit(x + 1, y), visit(x - 1, y), visit(x, y + 1), visit(x, y - 1);
  }
  int holes = 0;
  for (std::size_t i = 0; i < skin.pixels.size(); ++i)
    if (skin.pixels[i] == kKey && !reached[i]) ++holes;
  EXPECT_EQ(holes, 0);
}

TEST(Skin, DisplayAreaIsBlackAndTheLayoutsPanelsLieOnTheConsole) {
  const Canvas skin = DrawSkin();
  for (int y = kDisplayTop; y <= kDisplayBottom; ++y)
    for (int x = kDisplayLeft; x <= kDisplayRight; ++x)
      ASSERT_EQ(skin.at(x, y), (Pixel{0, 0, 0})) << x << "," << y;
  // The panels cover x 115..427, y 15..197: none of it may be keyed away.
  for (int y = 15; y <= 197; ++y)
    for (int x = 115; x <= 427; ++x) ASSERT_NE(skin.at(x, y), kKey) << x << "," << y;
}

TEST(Encodings, BitmapIsBottomUp24BitWithPaddedRows) {
  Canvas c(3, 2, Pixel{});
  c.at(0, 0) = Pixel{1, 2, 3};     // top left
  c.at(2, 1) = Pixel{10, 20, 30};  // bottom right
  const std::string bmp = EncodeBmp24(c);
  ASSERT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Read32(bmp, 2), bmp.size());
  EXPECT_EQ(Read32(bmp, 10), 54u);
  EXPECT_EQ(Read32(bmp, 18), 3u);
  EXPECT_EQ(Read32(bmp, 22), 2u);
  EXPECT_EQ(Read16(bmp, 28), 24u);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12
  // First stored row is the bottom one; pixels are blue, green, red.
  EXPECT_EQ(bmp.substr(54 + 6, 3), std::string("\x1e\x14\x0a"));
  EXPECT_EQ(bmp.substr(54 + 12, 3), std::string("\x03\x02\x01"));
}

TEST(Encodings, IconIsOne32By32ImageWith256ColoursAndAMask) {
  std::vector<bool> opaque;
  const Canvas icon = DrawIcon(opaque);
  const std::string ico = EncodeIcon256(icon, opaque);
  EXPECT_EQ(Read16(ico, 0), 0u);
  EXPECT_EQ(Read16(ico, 2), 1u);  // icon
  EXPECT_EQ(Read16(ico, 4), 1u);  // one image
  EXPECT_EQ(std::uint8_t(ico[6]), 32);
  EXPECT_EQ(std::uint8_t(ico[7]), 32);
  EXPECT_EQ(Read16(ico, 12), 8u);
  const std::size_t image = Read32(ico, 18);
  ASSERT_EQ(image + Read32(ico, 14), ico.size());
  EXPECT_EQ(Read32(ico, image + 8), 64u);  // colour and mask halves
  EXPECT_EQ(Read32(ico, image + 32), 256u);
  // Mask: the top left corner lies outside the picture, the centre inside.
  const std::size_t mask = image + 40 + 1024 + 32 * 32;
  const auto mask_bit = [&](int x, int y) {
    return (std::uint8_t(ico[mask + std::size_t(31 - y) * 4 + x / 8]) >> (7 - x % 8)) & 1;
  };
  EXPECT_EQ(mask_bit(0, 0), 1);
  EXPECT_EQ(mask_bit(16, 16), 0);
}

TEST(Splash, HasTheSizeTheLanguagePanelShows) {
  const Canvas splash = DrawSplash();
  EXPECT_EQ(splash.width, 318);
  EXPECT_EQ(splash.height, 180);
  EXPECT_EQ(EncodePpm(splash).substr(0, 15), "P6\n318 180\n255\n");
}

}  // namespace
}  // namespace zt::art
