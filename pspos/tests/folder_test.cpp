// The run-time's normalisation of a module path's folder.
#include <gtest/gtest.h>

#include <string>

#include "pspos/runtime/runtime.h"

namespace {

struct FolderCase {
  const char* path;
  const char* folder;  // null: no folder (the working directory stays)
};

class FolderOf : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderOf, Normalises) {
  const FolderCase& c = GetParam();
  char out[ZT_RUNTIME_PATH_SIZE];
  const bool ok = zt_runtime_folder_of(c.path, out, sizeof out);
  if (c.folder == nullptr) {
    EXPECT_FALSE(ok) << c.path;
  } else {
    ASSERT_TRUE(ok) << c.path;
    EXPECT_STREQ(out, c.folder) << c.path;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FolderOf,
    testing::Values(
        FolderCase{"ms0:/PSP/GAME/app/plugbind.prx", "ms0:/PSP/GAME/app"},
        FolderCase{"ms0:/plugbind.prx", "ms0:"},
        FolderCase{"host0:/a/b.prx", "host0:/a"},
        // Only lower-case letters and digits make a device prefix.
        FolderCase{"MS0:/a/b.prx", "MS0:/a"},
        FolderCase{"ms0:a/b/c.prx", "ms0:a/b"},
        FolderCase{"ms0://PSP///GAME//x.prx", "ms0:/PSP/GAME"},
        FolderCase{"/a/./b/./x.prx", "/a/b"},
        FolderCase{"/a/b/../c/x.prx", "/a/c"},
        FolderCase{"/a/b/c/../../x.prx", "/a"},
        FolderCase{"ms0:/a/../../x.prx", "ms0:"},
        FolderCase{"/../../x.prx", ""},
        FolderCase{"/x.prx", ""},
        FolderCase{"a/x.prx", "a"},
        FolderCase{"../a/x.prx", "../a"},
        FolderCase{"a/../../b/x.prx", "../b"},
        FolderCase{"./x.prx", ""},
        // A path ending in "/" names the folder itself.
        FolderCase{"/a/b/", "/a/b"},
        FolderCase{"ms0:/a/b//", "ms0:/a/b"},
        FolderCase{"plugbind.prx", nullptr},
        FolderCase{"ms0:plugbind.prx", nullptr},
        FolderCase{"", nullptr}));

TEST(FolderOf, RefusesWhatDoesNotFit) {
  const std::string path = "/" + std::string(20, 'd') + "/x.prx";
  char out[32];
  // 21 characters and the NUL fit in 22 bytes, not in 21.
  EXPECT_TRUE(zt_runtime_folder_of(path.c_str(), out, 22));
  EXPECT_EQ(std::string(out), path.substr(0, 21));
  EXPECT_FALSE(zt_runtime_folder_of(path.c_str(), out, 21));
  EXPECT_FALSE(zt_runtime_folder_of(nullptr, out, sizeof out));
}

}  // namespace
