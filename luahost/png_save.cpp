#include "png_save.h"

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <vector>

bool save_png(const Image& image, const char* path, std::string* error) {
  if (image.width <= 0 || image.height <= 0) {
    *error = "an empty image cannot be saved";
    return false;
  }
  const std::size_t width = static_cast<std::size_t>(image.width);
  const std::size_t height = static_cast<std::size_t>(image.height);
  // Bytes in file order whatever the machine's byte order.
  std::vector<png_byte> rgba(width * height * 4);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint32_t* row = image.pixels + y * static_cast<std::size_t>(image.stride);
    png_byte* out = rgba.data() + y * width * 4;
    for (std::size_t x = 0; x < width; ++x) {
      std::uint32_t p = row[x];
      out[4 * x + 0] = static_cast<png_byte>(p >> 16);
      out[4 * x + 1] = static_cast<png_byte>(p >> 8);
      out[4 * x + 2] = static_cast<png_byte>(p);
      out[4 * x + 3] = static_cast<png_byte>(p >> 24);
    }
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path, 0, rgba.data(), 0, nullptr)) {
    *error = std::string(path) + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}
