// Builds without libpng (the 32-bit MIPS build) keep the Lua method and
// report that saving is not available.
#include "png_save.h"

bool save_png(const Image&, const char*, std::string* error) {
  *error = "PNG saving is not built into this host";
  return false;
}
