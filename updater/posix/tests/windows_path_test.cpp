#include "windows_path.h"

#include <gtest/gtest.h>

namespace zt::posix_detail {
namespace {

TEST(ResolveWindowsPath, ResolvesAgainstTheCurrentDirectory) {
  struct Case {
    const char* path;
    const char* expected;  // "" when the path is refused
  } cases[] = {
      {"E:\\PSP\\GAME", "E:\\PSP\\GAME"},
      {"e:/psp/game/", "E:\\psp\\game"},
      {"E:\\\\PSP\\\\GAME\\\\Zentrovia", "E:\\PSP\\GAME\\Zentrovia"},
      {"E:\\PSP\\.\\GAME\\..\\SAVEDATA", "E:\\PSP\\SAVEDATA"},
      {"E:\\..\\..\\PSP", "E:\\PSP"},
      {"E:", "E:\\"},
      {"E:file.txt", "E:\\file.txt"},  // another drive: from its root
      {"D:file.txt", "D:\\Zen\\Trovia\\file.txt"},
      {"languages\\es.txt", "D:\\Zen\\Trovia\\languages\\es.txt"},
      {"./languages//es.txt", "D:\\Zen\\Trovia\\languages\\es.txt"},
      {"..\\x", "D:\\Zen\\x"},
      {"\\root.txt", "D:\\root.txt"},
      {"/a/b", "D:\\a\\b"},
      {".", "D:\\Zen\\Trovia"},
      {"", ""},
      {"1:\\x", ""},
  };
  for (const Case& c : cases) {
    WindowsPath path;
    bool ok = ResolveWindowsPath(c.path, "D:\\Zen\\Trovia", path);
    EXPECT_EQ(ok ? FormatWindowsPath(path) : "", c.expected) << c.path;
  }
}

TEST(MatchWildcard, MatchesStarAndQuestionMarkIgnoringCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*.txt", "es.txt", true},     {"*.txt", "ES.TXT", true},
      {"*.TXT", "es.txt", true},     {"*.txt", "es.txt.bak", false},
      {"*.txt", ".txt", true},       {"*.txt", "txt", false},
      {"*", "anything", true},       {"*.*", "noextension", true},
      {"?s.txt", "es.txt", true},    {"?s.txt", "s.txt", false},
      {"a*b*c", "aXbYbZc", true},    {"a*b*c", "aXbYc?", false},
      {"visual.tle", "VISUAL.TLE", true}, {"visual.tle", "visual.tl", false},
      {"", "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
  }
}

TEST(SplitMask, CutsAtTheLastSeparatorOrDriveColon) {
  struct Case {
    const char* mask;
    const char* folder;
    const char* pattern;
  } cases[] = {
      {"./*.txt", "./", "*.txt"},
      {"C:\\a\\b\\*.t?t", "C:\\a\\b\\", "*.t?t"},
      {"C:*.txt", "C:", "*.txt"},
      {"*.txt", "", "*.txt"},
      {"a/b\\c", "a/b\\", "c"},
  };
  for (const Case& c : cases) {
    std::string folder, pattern;
    SplitMask(c.mask, folder, pattern);
    EXPECT_EQ(folder, c.folder) << c.mask;
    EXPECT_EQ(pattern, c.pattern) << c.mask;
  }
}

}  // namespace
}  // namespace zt::posix_detail
