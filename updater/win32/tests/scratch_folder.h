// An empty folder under the Windows temporary folder, removed with all it
// holds when the test ends.
#pragma once

#include <string>

namespace zt::testing {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Windows path, without a trailing backslash.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace zt::testing
