// The run-time start-up of a module: the working directory it takes from
// the first start string.
#include <fstream>
#include <vector>

#include "test_support.h"

namespace pspos {
namespace {

using testing_support::functionOf;
using testing_support::KernelTest;
using testing_support::TempFolder;

constexpr std::uint32_t kProbeCwdNid = 0x6E114266u;

std::string replaceDir(std::string s, const std::string& dir) {
  const std::string key = "{dir}";
  for (std::size_t at; (at = s.find(key)) != std::string::npos;) s.replace(at, key.size(), dir);
  return s;
}

TEST_F(KernelTest, StartUpTakesTheFolderOfTheFirstString) {
  struct Case {
    const char* arg;  // "{dir}" stands for the test's folder
    const char* cwd;
  };
  const std::vector<Case> cases = {
      {"{dir}/a/probe.prx", "{dir}/a"},
      {"{dir}//a/./b/../b//c/../probe.prx", "{dir}/a/b"},
      {"{dir}/a/b/", "{dir}/a/b"},
      {"ms0:/PSP//GAME/./app/probe.prx", "ms0:/PSP/GAME/app"},
      {"ms0:/PSP/GAME/../probe.prx", "ms0:/PSP"},
      {"ms0:/probe.prx", "ms0:"},
      // The working directory stays empty when the string names no folder
      // that opens.
      {"probe.prx", ""},
      {"{dir}/missing/probe.prx", ""},
      {"{dir}/file/probe.prx", ""},
      {"ms9:/PSP/probe.prx", ""},
  };
  for (const Case& c : cases) {
    reset();
    TempFolder dir;
    std::filesystem::create_directories(dir.path() + "/a/b");
    std::filesystem::create_directories(dir.path() + "/PSP/GAME/app");
    std::ofstream(dir.path() + "/file") << "x";
    mapDevice("ms0:", dir.path());

    const std::string arg = replaceDir(c.arg, dir.path());
    const std::int32_t id = testing_support::loadAndStart(ZT_FIXTURE_PROBE, arg);
    ASSERT_GE(id, 0) << arg;
    EXPECT_EQ(std::string(functionOf<const char*()>(id, "probe", kProbeCwdNid)()),
              replaceDir(c.cwd, dir.path()))
        << arg;
  }
}

TEST_F(KernelTest, StartUpWithoutArgumentsKeepsAnEmptyFolder) {
  const std::int32_t id = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(id, 0);
  ASSERT_EQ(sceKernelStartModule(id, 0, nullptr, nullptr, nullptr), id);
  EXPECT_STREQ(functionOf<const char*()>(id, "probe", kProbeCwdNid)(), "");
}

}  // namespace
}  // namespace pspos
