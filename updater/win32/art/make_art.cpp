// Writes the program's pictures into a folder: skin.bmp, splash.ppm (turned
// into JPEG by the build) and icon.ico. Run on the build machine.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "art.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<bool> opaque;
  const zt::art::Canvas icon = zt::art::DrawIcon(opaque);
  const bool ok = Write(folder + "/skin.bmp", zt::art::EncodeBmp24(zt::art::DrawSkin())) &&
                  Write(folder + "/splash.ppm", zt::art::EncodePpm(zt::art::DrawSplash())) &&
                  Write(folder + "/icon.ico", zt::art::EncodeIcon256(icon, opaque));
  if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
