// The behaviour every Platform must show for the handlers to work, as one
// GoogleTest suite run against each implementation. Instantiate it with a
// factory for the platform under test:
//
//   INSTANTIATE_TEST_SUITE_P(Posix, PlatformContract,
//                            ::testing::Values(PlatformContractFactory(&MakeMine)));
//
// The suite sets up everything through the Platform itself, so it runs as
// well under Wine as natively.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "updater/core/platform.h"

namespace zt::testing {

// One platform under test and the place it may write to.
class PlatformContractTarget {
 public:
  virtual ~PlatformContractTarget() = default;
  virtual Platform& platform() = 0;
  // Windows path of an empty folder the test may fill, without a trailing
  // separator, e.g. "C:\\scratch".
  virtual std::string scratch() = 0;
  // A drive letter with no drive behind it.
  virtual char missing_drive() = 0;
};

using PlatformContractFactory = std::function<std::unique_ptr<PlatformContractTarget>()>;

class PlatformContract : public ::testing::TestWithParam<PlatformContractFactory> {
 protected:
  void SetUp() override;
  void TearDown() override;

  Platform& platform() { return target_->platform(); }
  // The scratch folder followed by "\" and `name`.
  std::string At(const std::string& name) const { return scratch_ + '\\' + name; }
  // Writes a whole file through CreateFile/WriteFile; false on any failure.
  bool Put(const std::string& path, const std::string& content);
  // The whole content of a file through OpenRead/ReadFile; "<error N>" when
  // it can't be opened or read.
  std::string Get(const std::string& path);

  std::unique_ptr<PlatformContractTarget> target_;
  std::string scratch_;
  std::string saved_directory_;
};

}  // namespace zt::testing
