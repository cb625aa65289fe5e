#include "temp_drives.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zt::testing {

TempDrives::TempDrives() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zt-drives-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TempDrives::~TempDrives() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path TempDrives::AddDrive(char letter) {
  std::filesystem::path drive = std::filesystem::path(root_) / std::string(1, letter);
  std::filesystem::create_directories(drive);
  return drive;
}

void TempDrives::Put(const std::string& relative, const std::string& content) {
  std::filesystem::path path = std::filesystem::path(root_) / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string TempDrives::Get(const std::string& relative) const {
  std::ifstream in(std::filesystem::path(root_) / relative, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace zt::testing
