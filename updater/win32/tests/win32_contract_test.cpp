// The platform contract, run against the Win32 platform under Wine.
#include <memory>

#include "updater/contract/platform_contract.h"
#include "updater/win32/platform/win32_platform.h"
#include "updater/win32/platform/windows_api.h"
#include "updater/win32/tests/scratch_folder.h"

namespace zt {
namespace {

class Win32Target : public testing::PlatformContractTarget {
 public:
  Platform& platform() override { return platform_; }
  std::string scratch() override { return folder_.path(); }
  // The highest letter with no drive behind it (Wine maps C: and Z:).
  char missing_drive() override {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter) {
      if ((drives & (1u << (letter - 'A'))) == 0) return letter;
    }
    return 'Q';
  }

 private:
  Win32Platform platform_;
  testing::ScratchFolder folder_;
};

std::unique_ptr<testing::PlatformContractTarget> MakeWin32Target() {
  return std::make_unique<Win32Target>();
}

using testing::PlatformContract;

INSTANTIATE_TEST_SUITE_P(Win32, PlatformContract,
                         ::testing::Values(testing::PlatformContractFactory(&MakeWin32Target)));

}  // namespace
}  // namespace zt
