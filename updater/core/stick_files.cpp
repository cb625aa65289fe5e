#include "stick_files.h"

#include "errors.h"

namespace zt {

void ReplaceWithText(Platform& platform, const std::string& target, const std::string& temp,
                     const std::function<void(TextWriter&)>& write) {
  {
    TextWriter out(platform, temp);
    try {
      write(out);
      out.Close();
    } catch (...) {
      out.Abandon();
      platform.DeleteFile(temp);
      throw;
    }
  }
  if (!platform.ReplaceFile(temp, target)) {
    platform.DeleteFile(temp);
    throw IoError(kErrorAccessDenied);
  }
}

bool FolderExists(Platform& platform, const std::string& path) {
  std::uint32_t a = platform.FileAttributes(path);
  return a != kInvalidAttributes && (a & kAttrDirectory) != 0;
}

bool FileExists(Platform& platform, const std::string& path) {
  std::uint32_t a = platform.FileAttributes(path);
  return a != kInvalidAttributes && (a & kAttrDirectory) == 0;
}

}  // namespace zt
