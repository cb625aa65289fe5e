// A temporary folder of drive folders for PosixPlatform tests, removed with
// everything in it at the end of the test.
#pragma once

#include <filesystem>
#include <string>

namespace zt::testing {

class TempDrives {
 public:
  TempDrives();
  ~TempDrives();
  TempDrives(const TempDrives&) = delete;
  TempDrives& operator=(const TempDrives&) = delete;

  const std::string& root() const { return root_; }
  // Makes the folder of a drive letter, so that the drive exists; returns it.
  std::filesystem::path AddDrive(char letter);
  // Writes a file under the root, making its folders.
  void Put(const std::string& relative, const std::string& content);
  // The content of a file under the root, or "<missing>".
  std::string Get(const std::string& relative) const;

 private:
  std::string root_;
};

}  // namespace zt::testing
