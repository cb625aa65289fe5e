#include "host_image.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "png_save.h"

namespace {

constexpr const char* kMetatable = "ZenTrovia.Image";
constexpr int kMaxSide = 1 << 14;  // keeps width * height * 4 far from overflow
constexpr std::uint32_t kBlack = 0xFF000000u;

// The userdata block: the record's address first, as plug-ins expect.
struct Block {
  Image* record;
  Image image;
};

constexpr std::size_t pixels_offset() {
  // Pixels start on an 8-byte boundary after the header.
  return (sizeof(Block) + 7) & ~std::size_t{7};
}

Image& check_image(lua_State* L, int idx) {
  auto* block = static_cast<Block*>(luaL_checkudata(L, idx, kMetatable));
  return *block->record;
}

// Pixel values travel as Lua numbers; negative numbers wrap as 32-bit words.
std::uint32_t check_pixel_value(lua_State* L, int idx) {
  lua_Number n = luaL_checknumber(L, idx);
  if (n < -2147483648.0 || n > 4294967295.0) {
    luaL_argerror(L, idx, "pixel value out of 32-bit range");
  }
  return static_cast<std::uint32_t>(static_cast<long long>(n));
}

std::uint32_t& check_pixel(lua_State* L) {
  Image& image = check_image(L, 1);
  lua_Integer x = luaL_checkinteger(L, 2);
  lua_Integer y = luaL_checkinteger(L, 3);
  if (x < 0 || x >= image.width || y < 0 || y >= image.height) {
    luaL_error(L, "pixel (%d, %d) is outside the %dx%d image", static_cast<int>(x),
               static_cast<int>(y), static_cast<int>(image.width),
               static_cast<int>(image.height));
  }
  return image.pixels[y * image.stride + x];
}

int image_create(lua_State* L) {
  lua_Integer width = luaL_checkinteger(L, 1);
  lua_Integer height = luaL_checkinteger(L, 2);
  lua_Integer stride = luaL_optinteger(L, 3, width);
  luaL_argcheck(L, width >= 0 && width <= kMaxSide, 1, "width out of range");
  luaL_argcheck(L, height >= 0 && height <= kMaxSide, 2, "height out of range");
  luaL_argcheck(L, stride >= width && stride <= 2 * kMaxSide, 3,
                "stride must be at least the width");
  push_host_image(L, static_cast<int>(width), static_cast<int>(height),
                  static_cast<int>(stride));
  return 1;
}

int image_width(lua_State* L) {
  lua_pushinteger(L, check_image(L, 1).width);
  return 1;
}

int image_height(lua_State* L) {
  lua_pushinteger(L, check_image(L, 1).height);
  return 1;
}

int image_stride(lua_State* L) {
  lua_pushinteger(L, check_image(L, 1).stride);
  return 1;
}

int image_pixel(lua_State* L) {
  lua_pushnumber(L, static_cast<lua_Number>(check_pixel(L)));
  return 1;
}

int image_set_pixel(lua_State* L) {
  std::uint32_t value = check_pixel_value(L, 4);
  check_pixel(L) = value;
  return 0;
}

int image_fill(lua_State* L) {
  Image& image = check_image(L, 1);
  std::uint32_t value = check_pixel_value(L, 2);
  std::size_t count = static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height);
  for (std::size_t i = 0; i < count; ++i) image.pixels[i] = value;
  return 0;
}

int image_save(lua_State* L) {
  Image& image = check_image(L, 1);
  const char* path = luaL_checkstring(L, 2);
  std::string error;
  if (!save_png(image, path, &error)) {
    lua_pushnil(L);
    lua_pushstring(L, error.c_str());
    return 2;
  }
  lua_pushboolean(L, 1);
  return 1;
}

int image_tostring(lua_State* L) {
  Image& image = check_image(L, 1);
  lua_pushfstring(L, "Image(%dx%d)", static_cast<int>(image.width), static_cast<int>(image.height));
  return 1;
}

const luaL_Reg kFunctions[] = {
    {"create", image_create},
    {nullptr, nullptr},
};

const luaL_Reg kMethods[] = {
    {"width", image_width},   {"height", image_height},      {"stride", image_stride},
    {"pixel", image_pixel},   {"setPixel", image_set_pixel}, {"fill", image_fill},
    {"save", image_save},     {nullptr, nullptr},
};

}  // namespace

Image* push_host_image(lua_State* L, int width, int height, int stride) {
  std::size_t count = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  void* raw = lua_newuserdata(L, pixels_offset() + count * sizeof(std::uint32_t));
  auto* block = static_cast<Block*>(raw);
  block->record = &block->image;
  block->image.stride = stride;
  block->image.reserved = 0;
  block->image.width = width;
  block->image.height = height;
  block->image.pixels =
      reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(raw) + pixels_offset());
  for (std::size_t i = 0; i < count; ++i) block->image.pixels[i] = kBlack;
  luaL_getmetatable(L, kMetatable);
  lua_setmetatable(L, -2);
  return block->record;
}

Image* to_host_image(lua_State* L, int idx) {
  void* raw = lua_touserdata(L, idx);
  if (raw == nullptr || !lua_getmetatable(L, idx)) return nullptr;
  luaL_getmetatable(L, kMetatable);
  bool ours = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  return ours ? static_cast<Block*>(raw)->record : nullptr;
}

void open_host_images(lua_State* L) {
  luaL_newmetatable(L, kMetatable);
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "__index");
  lua_pushcfunction(L, image_tostring);
  lua_setfield(L, -2, "__tostring");
  luaL_register(L, nullptr, kMethods);
  lua_pop(L, 1);
  luaL_register(L, "Image", kFunctions);
  lua_pop(L, 1);
}
