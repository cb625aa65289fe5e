// What only the Win32 platform can show: Windows' own error texts, sharing
// modes, the doubled separators of the stick's path literals, the unfiltered
// directory search and the internet client against a loopback server.
#include "updater/win32/platform/win32_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "updater/win32/platform/windows_api.h"
#include "updater/win32/tests/loopback_http.h"
#include "updater/win32/tests/scratch_folder.h"

namespace zt {
namespace {

using ::testing::HasSubstr;
using testing::HttpReply;
using testing::LoopbackHttpServer;
using testing::ScratchFolder;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

void WriteWhole(Platform& p, const std::string& path, const std::string& data) {
  Platform::Handle f;
  ASSERT_EQ(p.CreateFile(path, f), 0) << path;
  std::size_t written = 0;
  ASSERT_EQ(p.WriteFile(f, data.data(), data.size(), written), 0);
  ASSERT_EQ(written, data.size());
  ASSERT_EQ(p.CloseFile(f), 0);
}

std::string ReadWhole(Platform& p, const std::string& path) {
  Platform::Handle f;
  if (p.OpenRead(path, f) != 0) return "<cannot open>";
  std::string data;
  char buffer[7];  // small, so that a file takes several reads
  std::size_t got = 0;
  while (p.ReadFile(f, buffer, sizeof buffer, got) == 0 && got > 0) data.append(buffer, got);
  p.CloseFile(f);
  return data;
}

TEST(Win32PlatformTest, SystemErrorTextIsWindowsOwnTextWithoutLineEnd) {
  Win32Platform p;
  std::vector<std::string> texts;
  for (int code : {kErrorFileNotFound, kErrorPathNotFound, kErrorAccessDenied,
                   kErrorSharingViolation, kErrorDiskFull}) {
    const std::string text = p.SystemErrorText(code);
    SCOPED_TRACE(code);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 0) << "same text twice: " << text;
    texts.push_back(text);
  }
  EXPECT_THAT(Lower(p.SystemErrorText(kErrorFileNotFound)), HasSubstr("not found"));
}

TEST(Win32PlatformTest, ProgramFileNameIsThisProgram) {
  Win32Platform p;
  const std::string name = p.ProgramFileName();
  ASSERT_GT(name.size(), 3u);
  EXPECT_EQ(name.substr(1, 2), ":\\") << name;
  EXPECT_THAT(Lower(name), ::testing::EndsWith("\\zt_win32_platform_test.exe"));
  const std::uint32_t attributes = p.FileAttributes(name);
  ASSERT_NE(attributes, kInvalidAttributes);
  EXPECT_EQ(attributes & kAttrDirectory, 0u);
}

// The stick's paths are joined from literals with doubled backslashes, and
// the language packs are searched with "./*.txt": every file call must read
// runs of "\" and "/" as one separator.
TEST(Win32PlatformTest, DoubledAndForwardSeparatorsReadAsOne) {
  Win32Platform p;
  ScratchFolder scratch;
  const std::string root = scratch.path();
  ASSERT_TRUE(p.CreateFolder(root + "\\\\PSP"));
  ASSERT_TRUE(p.CreateFolder(root + "/PSP\\\\GAME"));
  EXPECT_NE(p.FileAttributes(root + "\\\\PSP\\\\GAME") & kAttrDirectory, 0u);
  EXPECT_NE(p.FileAttributes(root + "//PSP//GAME//") & kAttrDirectory, 0u);

  ASSERT_NO_FATAL_FAILURE(WriteWhole(p, root + "\\\\PSP\\\\GAME\\\\a.txt", "one"));
  EXPECT_TRUE(p.CopyFile(root + "\\PSP\\GAME\\a.txt", root + "\\\\PSP\\\\b.txt"));
  EXPECT_EQ(ReadWhole(p, root + "\\PSP\\b.txt"), "one");
  EXPECT_TRUE(p.MoveFile(root + "\\\\PSP\\\\b.txt", root + "\\\\PSP\\\\c.txt"));
  EXPECT_TRUE(p.ReplaceFile(root + "\\\\PSP\\\\c.txt", root + "\\\\PSP\\\\GAME\\\\a.txt"));
  EXPECT_EQ(p.FileAttributes(root + "\\PSP\\c.txt"), kInvalidAttributes);
  EXPECT_TRUE(p.DeleteFile(root + "\\\\PSP\\\\GAME\\\\a.txt"));

  const std::string before = p.CurrentDirectory();
  ASSERT_EQ(p.SetCurrentDirectory(root + "\\\\PSP"), 0);
  std::vector<FoundFile> found;
  EXPECT_EQ(p.FindFiles(".//*", found), 0);
  EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                          [](const FoundFile& f) { return f.name == "GAME"; }));
  EXPECT_EQ(p.SetCurrentDirectory(before), 0);
}

TEST(Win32PlatformTest, FindFilesDeliversEveryEntryWithItsAttributes) {
  Win32Platform p;
  ScratchFolder scratch;
  const std::string root = scratch.path();
  ASSERT_NO_FATAL_FAILURE(WriteWhole(p, root + "\\plain.txt", "x"));
  ASSERT_NO_FATAL_FAILURE(WriteWhole(p, root + "\\hidden.txt", "x"));
  ASSERT_TRUE(::SetFileAttributesA((root + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(p.CreateFolder(root + "\\folder.txt"));

  std::vector<FoundFile> found;
  ASSERT_EQ(p.FindFiles(root + "\\*.TXT", found), 0);
  auto attributes_of = [&found](const std::string& name) -> std::uint32_t {
    for (const FoundFile& f : found) {
      if (Lower(f.name) == name) return f.attributes;
    }
    return kInvalidAttributes;
  };
  EXPECT_EQ(found.size(), 3u);
  EXPECT_EQ(attributes_of("plain.txt") & (kAttrHidden | kAttrDirectory), 0u);
  EXPECT_NE(attributes_of("hidden.txt") & kAttrHidden, 0u);
  EXPECT_NE(attributes_of("folder.txt") & kAttrDirectory, 0u);

  // Unfiltered: the folder's own entries come too; the caller decides.
  ASSERT_EQ(p.FindFiles(root + "\\*", found), 0);
  EXPECT_EQ(found.size(), 5u);
  EXPECT_NE(attributes_of(".") & kAttrDirectory, 0u);
  EXPECT_NE(attributes_of("..") & kAttrDirectory, 0u);

  EXPECT_EQ(p.FindFiles(root + "\\*.none", found), 0);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(p.FindFiles(root + "\\missing\\*.txt", found), kErrorPathNotFound);
}

// The download's target is opened without sharing: nobody else can read or
// write it while it is being written.
TEST(Win32PlatformTest, CreatedFileIsNotShared) {
  Win32Platform p;
  ScratchFolder scratch;
  const std::string path = scratch.path() + "\\visual.tle";
  Platform::Handle writing;
  ASSERT_EQ(p.CreateFile(path, writing), 0);
  Platform::Handle other;
  EXPECT_EQ(p.OpenRead(path, other), kErrorSharingViolation);
  EXPECT_EQ(p.CreateFile(path, other), kErrorSharingViolation);
  EXPECT_EQ(p.CloseFile(writing), 0);
  ASSERT_EQ(p.OpenRead(path, other), 0);
  EXPECT_EQ(p.CloseFile(other), 0);
}

TEST(Win32PlatformTest, ClockAndLocaleGiveSaneValues) {
  Win32Platform p;
  const LocalTime t = p.GetLocalTime();
  EXPECT_GE(t.year, 2020);
  EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
  EXPECT_TRUE(t.hour < 24 && t.minute < 60 && t.second < 61 && t.milliseconds < 1000);
  const NumberFormat format = p.UserNumberFormat();
  EXPECT_TRUE(format.decimal_separator == '.' || format.decimal_separator == ',');
  EXPECT_NE(format.decimal_separator, format.thousand_separator);
}

// --- Internet client -------------------------------------------------------

struct Fetched {
  int status = -1;
  bool read_ok = true;
  std::string body;
  std::vector<std::uint32_t> reads;  // the size of every read
};

Fetched Fetch(Platform& p, const std::string& url) {
  Fetched out;
  const Platform::Handle internet = p.InternetOpen("agent");
  EXPECT_NE(internet, Platform::kNoHandle);
  const Platform::Handle request = p.InternetOpenUrl(internet, url);
  if (request == Platform::kNoHandle) {
    p.InternetCloseHandle(internet);
    return out;
  }
  out.status = p.HttpStatus(request);
  char buffer[10241];
  std::uint32_t got = 0;
  while ((out.read_ok = p.InternetReadFile(request, buffer, sizeof buffer, got)) && got > 0) {
    out.reads.push_back(got);
    out.body.append(buffer, got);
  }
  p.InternetCloseHandle(request);
  p.InternetCloseHandle(internet);
  return out;
}

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('0' + i % 43);
  return s;
}

TEST(Win32PlatformTest, InternetClientFetchesBodiesAndStatusFromLoopbackServer) {
  const std::string big = Pattern(10241 * 2 + 17);
  LoopbackHttpServer server({{"/NORAD/elements/visual.txt", {200, big}},
                             {"/empty", {200, ""}},
                             {"/teapot", {418, "short and stout"}}});
  Win32Platform p;
  struct Case {
    std::string path;
    int status;
    std::string body;
  } cases[] = {
      {"/NORAD/elements/visual.txt", 200, big},
      {"/empty", 200, ""},
      {"/teapot", 418, "short and stout"},
      {"/NORAD/elements/iridium.txt", 404, "<html><body>Not Found</body></html>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Fetched got = Fetch(p, server.url(c.path));
    EXPECT_EQ(got.status, c.status);
    EXPECT_TRUE(got.read_ok);
    EXPECT_EQ(got.body, c.body);
    for (std::uint32_t n : got.reads) EXPECT_LE(n, 10241u);
  }

  const std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_THAT(requests[0], ::testing::StartsWith("GET /NORAD/elements/visual.txt HTTP/1."));
  EXPECT_THAT(requests[0], HasSubstr("User-Agent: agent\r\n"));
}

TEST(Win32PlatformTest, InternetOpenUrlFailsWhenNothingListens) {
  int port;
  {
    LoopbackHttpServer gone({});
    port = gone.port();
  }  // the port is closed again
  Win32Platform p;
  const Fetched got = Fetch(p, "http://127.0.0.1:" + std::to_string(port) + "/visual.txt");
  EXPECT_EQ(got.status, -1) << "the request opened";
}

}  // namespace
}  // namespace zt
