// Shared helpers of the kernel and plugbind tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "pspos/kernel.h"

namespace pspos::testing_support {

// A fresh folder under the test's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = ::testing::TempDir() + "zt_pspos_XXXXXX";
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path in normal form, as the run-time would keep it.
  std::string path() const { return std::filesystem::weakly_canonical(path_).string(); }

 private:
  std::string path_;
};

// Every test starts and ends with a kernel that holds only its own module.
class KernelTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
};

// A loaded module's function of type F, found by library and NID.
template <typename F>
F* functionOf(std::int32_t id, const char* library, std::uint32_t nid) {
  return reinterpret_cast<F*>(findFunction(id, library, nid));
}

// Loads a module file and starts it with `arg` as the one start string.
inline std::int32_t loadAndStart(const std::string& file, const std::string& arg) {
  const std::int32_t id = sceKernelLoadModule(file.c_str(), 0, nullptr);
  if (id < 0) return id;
  std::string block = arg;
  return sceKernelStartModule(id, static_cast<std::uint32_t>(block.size() + 1), block.data(),
                              nullptr, nullptr);
}

}  // namespace pspos::testing_support
