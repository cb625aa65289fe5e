// The platform contract, run against PosixPlatform.
#include <memory>

#include "temp_drives.h"
#include "updater/contract/platform_contract.h"
#include "updater/posix/posix_platform.h"

namespace zt::testing {
namespace {

class PosixTarget : public PlatformContractTarget {
 public:
  PosixTarget() {
    drives_.AddDrive('C');
    drives_.AddDrive('D');
    std::filesystem::create_directories(drives_.AddDrive('C') / "scratch");
    PosixPlatformOptions options;
    options.drives_root = drives_.root();
    options.program_file = "D:\\ZenTrovia\\ZenTroviaUpdater.exe";
    platform_ = std::make_unique<PosixPlatform>(options);
  }
  Platform& platform() override { return *platform_; }
  std::string scratch() override { return "C:\\scratch"; }
  char missing_drive() override { return 'Q'; }

 private:
  TempDrives drives_;
  std::unique_ptr<PosixPlatform> platform_;
};

INSTANTIATE_TEST_SUITE_P(Posix, PlatformContract,
                         ::testing::Values(PlatformContractFactory(
                             [] { return std::make_unique<PosixTarget>(); })));

}  // namespace
}  // namespace zt::testing
