// Writes a host image as an 8-bit RGBA PNG file.
#pragma once

#include <string>

#include "image.h"

// Pixels are read as 0xAARRGGBB words. Returns false with a message in
// *error when the file cannot be written or PNG support is not built in.
bool save_png(const Image& image, const char* path, std::string* error);
