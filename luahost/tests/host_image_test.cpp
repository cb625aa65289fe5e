// Host images as Lua scripts and plug-ins see them.
#include "host_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lua_run.h"

namespace {

class HostImageTest : public ::testing::Test {
 protected:
  void SetUp() override { open_host_images(lua.L); }
  std::string run(const char* code) { return run_lua(lua.L, code); }
  LuaState lua;
};

TEST_F(HostImageTest, BlockBeginsWithTheRecordAddressAndPixelsFollowTheStride) {
  ASSERT_EQ(run("img = Image.create(5, 3, 8)\n"
                "img:setPixel(4, 2, 0xFF00FF00)\n"
                "img:setPixel(0, 1, 0x12345678)"),
            "");
  lua_getglobal(lua.L, "img");
  auto* block = static_cast<Image**>(lua_touserdata(lua.L, -1));
  ASSERT_NE(block, nullptr);
  const Image* record = *block;
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record, to_host_image(lua.L, -1));
  EXPECT_EQ(record->stride, 8);
  EXPECT_EQ(record->width, 5);
  EXPECT_EQ(record->height, 3);
  EXPECT_EQ(record->pixels[2 * 8 + 4], 0xFF00FF00u);
  EXPECT_EQ(record->pixels[1 * 8 + 0], 0x12345678u);
  EXPECT_EQ(record->pixels[0], 0xFF000000u) << "new images start opaque black";
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(record->pixels) % 8, 0u);

  // As plug-ins read it: stride, width and height at words 0, 2 and 3, and
  // on the 32-bit console the pixels' address at word 4.
  const auto* words = reinterpret_cast<const std::uint32_t*>(record);
  EXPECT_EQ(words[0], 8u);
  EXPECT_EQ(words[2], 5u);
  EXPECT_EQ(words[3], 3u);
  if constexpr (sizeof(void*) == 4) {
    EXPECT_EQ(words[4], reinterpret_cast<std::uintptr_t>(record->pixels));
  }
}

TEST_F(HostImageTest, ScriptsReadBackWhatTheyWrite) {
  EXPECT_EQ(run("local img = Image.create(4, 2)\n"
                "assert(img:width() == 4 and img:height() == 2 and img:stride() == 4)\n"
                "img:fill(0xFF0000FF)\n"
                "assert(img:pixel(3, 1) == 0xFF0000FF)\n"
                "img:setPixel(3, 1, 0xFFFFFFFF)\n"
                "assert(img:pixel(3, 1) == 4294967295)\n"
                "img:setPixel(2, 1, -1)\n"
                "assert(img:pixel(2, 1) == 0xFFFFFFFF, 'negative numbers wrap')\n"
                "assert(img:pixel(0, 0) == 0xFF0000FF)\n"
                "assert(tostring(img) == 'Image(4x2)')"),
            "");
}

TEST_F(HostImageTest, MistakesRaiseErrors) {
  struct Case {
    const char* code;
    const char* message_part;
  };
  const Case cases[] = {
      {"Image.create(2, 2):pixel(2, 0)", "pixel (2, 0) is outside the 2x2 image"},
      {"Image.create(2, 2):pixel(0, -1)", "outside"},
      {"Image.create(2, 2):setPixel(0, 2, 0)", "outside"},
      {"Image.create(2, 2):setPixel(0, 0, 2^32)", "out of 32-bit range"},
      {"Image.create(-1, 2)", "width out of range"},
      {"Image.create(2, 100000)", "height out of range"},
      {"Image.create(4, 2, 3)", "stride must be at least the width"},
      {"Image.create(2, 2).pixel({}, 0, 0)", "ZenTrovia.Image expected, got table"},
  };
  for (const Case& c : cases) {
    std::string error = run(c.code);
    EXPECT_NE(error.find(c.message_part), std::string::npos) << c.code << " gave: " << error;
  }
}

TEST_F(HostImageTest, OtherUserdataIsNoHostImage) {
  lua_newuserdata(lua.L, sizeof(void*));
  EXPECT_EQ(to_host_image(lua.L, -1), nullptr);
  lua_pushnumber(lua.L, 1);
  EXPECT_EQ(to_host_image(lua.L, -1), nullptr);
  lua_pop(lua.L, 2);
}

#ifdef ZT_HAVE_PNG
}  // namespace
#include <png.h>
namespace {

TEST_F(HostImageTest, SavesPngInRgbaOrder) {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("zt_host_image_" + std::to_string(::getpid()) + ".png");
  std::string code = "local img = Image.create(3, 2, 5)\n"
                     "img:fill(0xFF000000)\n"
                     "img:setPixel(0, 0, 0xFF00FF00)\n"
                     "img:setPixel(2, 1, 0x80112233)\n"
                     "assert(img:save('" + path.string() + "'))";
  ASSERT_EQ(run(code.c_str()), "");

  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str())) << png.message;
  png.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) << png.message;
  std::filesystem::remove(path);
  ASSERT_EQ(png.width, 3u);
  ASSERT_EQ(png.height, 2u);
  const std::vector<png_byte> want = {
      0x00, 0xFF, 0x00, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF,
      0,    0,    0,    0xFF, 0, 0, 0, 0xFF, 0x11, 0x22, 0x33, 0x80,
  };
  EXPECT_EQ(rgba, want);
}

TEST_F(HostImageTest, SaveFailureReturnsNilAndMessage) {
  EXPECT_EQ(run("local ok, message = Image.create(2, 2):save('/nonexistent-folder/x.png')\n"
                "assert(ok == nil and message:find('/nonexistent-folder/x.png', 1, true), message)"),
            "");
}
#endif

}  // namespace
