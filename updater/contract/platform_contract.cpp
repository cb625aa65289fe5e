#include "platform_contract.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace zt::testing {
namespace {

using ::testing::AnyOf;
using ::testing::Eq;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::string Folded(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  for (char& c : path) {
    c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return path;
}

// A content that needs several reads and writes at any buffer size the
// platforms use, with the bytes text layers like to mangle.
std::string LargeContent() {
  std::string content;
  for (int i = 0; content.size() < 200000; ++i) {
    content += "line " + std::to_string(i) + "\r\n";
    content += std::string{'\0', '\x1a', '\xb7', '\n', '\r'};
  }
  return content;
}

std::vector<std::pair<std::string, bool>> NamesAndFolders(const std::vector<FoundFile>& found) {
  std::vector<std::pair<std::string, bool>> out;
  for (const FoundFile& f : found) out.emplace_back(f.name, (f.attributes & kAttrDirectory) != 0);
  return out;
}

}  // namespace

void PlatformContract::SetUp() {
  target_ = GetParam()();
  ASSERT_TRUE(target_);
  scratch_ = target_->scratch();
  saved_directory_ = platform().CurrentDirectory();
}

void PlatformContract::TearDown() {
  // The current directory may be the process's own: leave it as found.
  if (target_ && !saved_directory_.empty()) platform().SetCurrentDirectory(saved_directory_);
}

bool PlatformContract::Put(const std::string& path, const std::string& content) {
  Platform::Handle file = Platform::kNoHandle;
  if (platform().CreateFile(path, file) != 0) return false;
  std::size_t written = 0;
  int error = platform().WriteFile(file, content.data(), content.size(), written);
  int closed = platform().CloseFile(file);
  return error == 0 && written == content.size() && closed == 0;
}

std::string PlatformContract::Get(const std::string& path) {
  Platform::Handle file = Platform::kNoHandle;
  if (int error = platform().OpenRead(path, file); error != 0) {
    return "<error " + std::to_string(error) + ">";
  }
  std::string content;
  char buffer[4096];
  for (;;) {
    std::size_t got = 0;
    if (int error = platform().ReadFile(file, buffer, sizeof buffer, got); error != 0) {
      platform().CloseFile(file);
      return "<error " + std::to_string(error) + ">";
    }
    if (got == 0) break;
    content.append(buffer, got);
  }
  platform().CloseFile(file);
  return content;
}

TEST_P(PlatformContract, FolderTestTellsFoldersFromFilesAndAbsentPaths) {
  ASSERT_TRUE(Put(At("file.txt"), "x"));
  const std::string no_drive = std::string{target_->missing_drive()} + ":\\";

  std::uint32_t folder = platform().FileAttributes(scratch_);
  ASSERT_NE(folder, kInvalidAttributes);
  EXPECT_NE(folder & kAttrDirectory, 0u);

  std::uint32_t file = platform().FileAttributes(At("file.txt"));
  ASSERT_NE(file, kInvalidAttributes);
  EXPECT_EQ(file & kAttrDirectory, 0u);

  EXPECT_EQ(platform().FileAttributes(At("missing")), kInvalidAttributes);
  EXPECT_EQ(platform().FileAttributes(At("missing\\deeper")), kInvalidAttributes);
  EXPECT_EQ(platform().FileAttributes(no_drive), kInvalidAttributes);
  EXPECT_EQ(platform().FileAttributes(no_drive + "PSP\\GAME"), kInvalidAttributes);
}

TEST_P(PlatformContract, PathsReadDoubledSeparatorsForwardSlashesAndAnyCase) {
  ASSERT_TRUE(platform().CreateFolder(At("Sub")));
  ASSERT_TRUE(Put(At("Sub\\\\Data.txt"), "doubled"));
  EXPECT_EQ(Get(At("Sub\\Data.txt")), "doubled");
  EXPECT_EQ(Get(scratch_ + "\\\\sub\\\\DATA.TXT"), "doubled");
  EXPECT_EQ(Get(scratch_ + "/SUB/data.txt"), "doubled");
  EXPECT_EQ(Get(At("Sub\\.\\..\\Sub\\Data.txt")), "doubled");
  EXPECT_NE(platform().FileAttributes(At("SUB")) & kAttrDirectory, 0u);
}

TEST_P(PlatformContract, CreateFolderMakesOneLevelOnly) {
  EXPECT_TRUE(platform().CreateFolder(At("one")));
  EXPECT_NE(platform().FileAttributes(At("one")) & kAttrDirectory, 0u);
  EXPECT_FALSE(platform().CreateFolder(At("one"))) << "the folder exists already";
  EXPECT_FALSE(platform().CreateFolder(At("two\\three"))) << "the parent is missing";
  EXPECT_EQ(platform().FileAttributes(At("two")), kInvalidAttributes);
  EXPECT_TRUE(platform().CreateFolder(At("one\\three")));
  ASSERT_TRUE(Put(At("plain"), ""));
  EXPECT_FALSE(platform().CreateFolder(At("plain"))) << "a file holds the name";
}

TEST_P(PlatformContract, CopyFileReplacesTheDestinationWithTheWholeFile) {
  const std::string large = LargeContent();
  ASSERT_TRUE(Put(At("source"), large));
  ASSERT_TRUE(Put(At("target"), std::string(300000, 'o')));
  EXPECT_TRUE(platform().CopyFile(At("source"), At("target")));
  EXPECT_EQ(Get(At("target")), large);
  EXPECT_EQ(Get(At("source")), large);

  EXPECT_TRUE(platform().CopyFile(At("source"), At("fresh")));
  EXPECT_EQ(Get(At("fresh")), large);

  EXPECT_FALSE(platform().CopyFile(At("missing"), At("other")));
  EXPECT_EQ(platform().FileAttributes(At("other")), kInvalidAttributes);
  EXPECT_FALSE(platform().CopyFile(At("source"), At("no\\such\\folder")));
}

TEST_P(PlatformContract, MoveFileRenamesButNeverOverwrites) {
  ASSERT_TRUE(Put(At("a"), "first"));
  ASSERT_TRUE(Put(At("b"), "second"));
  EXPECT_FALSE(platform().MoveFile(At("a"), At("b")));
  EXPECT_EQ(Get(At("a")), "first");
  EXPECT_EQ(Get(At("b")), "second");

  EXPECT_TRUE(platform().MoveFile(At("a"), At("c")));
  EXPECT_EQ(platform().FileAttributes(At("a")), kInvalidAttributes);
  EXPECT_EQ(Get(At("c")), "first");
  EXPECT_FALSE(platform().MoveFile(At("a"), At("d"))) << "the source is gone";
}

TEST_P(PlatformContract, ReplaceFileSwapsInTheNewContent) {
  ASSERT_TRUE(Put(At("new"), "fresh content"));
  ASSERT_TRUE(Put(At("old"), "stale content that is longer"));
  EXPECT_TRUE(platform().ReplaceFile(At("new"), At("old")));
  EXPECT_EQ(Get(At("old")), "fresh content");
  EXPECT_EQ(platform().FileAttributes(At("new")), kInvalidAttributes);

  ASSERT_TRUE(Put(At("newer"), "no destination yet"));
  EXPECT_TRUE(platform().ReplaceFile(At("newer"), At("absent")));
  EXPECT_EQ(Get(At("absent")), "no destination yet");

  EXPECT_FALSE(platform().ReplaceFile(At("missing"), At("old")));
  EXPECT_EQ(Get(At("old")), "fresh content");
}

TEST_P(PlatformContract, DeleteFileRemovesFilesOnly) {
  ASSERT_TRUE(Put(At("gone"), "x"));
  ASSERT_TRUE(platform().CreateFolder(At("folder")));
  EXPECT_TRUE(platform().DeleteFile(At("gone")));
  EXPECT_EQ(platform().FileAttributes(At("gone")), kInvalidAttributes);
  EXPECT_FALSE(platform().DeleteFile(At("gone")));
  EXPECT_FALSE(platform().DeleteFile(At("folder")));
  EXPECT_NE(platform().FileAttributes(At("folder")) & kAttrDirectory, 0u);
}

TEST_P(PlatformContract, CurrentDirectoryAnchorsRelativePaths) {
  ASSERT_TRUE(platform().CreateFolder(At("here")));
  ASSERT_EQ(platform().SetCurrentDirectory(At("here")), 0);
  EXPECT_EQ(Folded(platform().CurrentDirectory()), Folded(At("here")));

  ASSERT_TRUE(Put("relative.txt", "r"));
  EXPECT_EQ(Get(At("here\\relative.txt")), "r");
  EXPECT_EQ(Get(".\\relative.txt"), "r");
  EXPECT_EQ(Get("..\\here\\relative.txt"), "r");

  ASSERT_EQ(platform().SetCurrentDirectory(".."), 0);
  EXPECT_EQ(Folded(platform().CurrentDirectory()), Folded(scratch_));
}

TEST_P(PlatformContract, SetCurrentDirectoryRefusesMissingFolders) {
  ASSERT_EQ(platform().SetCurrentDirectory(scratch_), 0);
  EXPECT_THAT(platform().SetCurrentDirectory(At("missing")),
              AnyOf(Eq(kErrorFileNotFound), Eq(kErrorPathNotFound)));
  EXPECT_EQ(platform().SetCurrentDirectory(At("missing\\deeper")), kErrorPathNotFound);
  EXPECT_EQ(platform().SetCurrentDirectory(std::string{target_->missing_drive()} + ":\\"),
            kErrorPathNotFound);
  EXPECT_EQ(Folded(platform().CurrentDirectory()), Folded(scratch_)) << "unchanged by failures";
}

TEST_P(PlatformContract, FindFilesMatchesTheMaskIgnoringCase) {
  ASSERT_TRUE(Put(At("Alpha.TXT"), "a"));
  ASSERT_TRUE(Put(At("beta.txt"), "b"));
  ASSERT_TRUE(Put(At("gamma.dat"), "g"));
  ASSERT_TRUE(platform().CreateFolder(At("delta.txt")));
  std::vector<FoundFile> found;

  ASSERT_EQ(platform().FindFiles(At("*.txt"), found), 0);
  EXPECT_THAT(NamesAndFolders(found),
              UnorderedElementsAre(std::pair<std::string, bool>{"Alpha.TXT", false},
                                   std::pair<std::string, bool>{"beta.txt", false},
                                   std::pair<std::string, bool>{"delta.txt", true}));
  for (const FoundFile& f : found) {
    if (f.name == "beta.txt") {
      EXPECT_EQ(f.attributes & (kAttrHidden | kAttrSystem), 0u);
    }
  }

  ASSERT_EQ(platform().FindFiles(At("?ETA.*"), found), 0);
  EXPECT_THAT(NamesAndFolders(found),
              UnorderedElementsAre(std::pair<std::string, bool>{"beta.txt", false}));

  ASSERT_EQ(platform().FindFiles(At("*.none"), found), 0);
  EXPECT_THAT(found, IsEmpty());

  ASSERT_EQ(platform().SetCurrentDirectory(scratch_), 0);
  ASSERT_EQ(platform().FindFiles("./*.DAT", found), 0);
  EXPECT_THAT(NamesAndFolders(found),
              UnorderedElementsAre(std::pair<std::string, bool>{"gamma.dat", false}));
}

TEST_P(PlatformContract, FindFilesReportsAMissingFolder) {
  std::vector<FoundFile> found;
  EXPECT_NE(platform().FindFiles(At("missing\\*.txt"), found), 0);
  EXPECT_THAT(found, IsEmpty());
}

TEST_P(PlatformContract, RawFilesRoundTripEveryByte) {
  const std::string large = LargeContent();
  ASSERT_TRUE(Put(At("raw.bin"), large));
  EXPECT_EQ(Get(At("raw.bin")), large);

  // Reads of a fixed size end with one of 0 bytes.
  Platform::Handle file = Platform::kNoHandle;
  ASSERT_EQ(platform().OpenRead(At("raw.bin"), file), 0);
  EXPECT_NE(file, Platform::kNoHandle);
  std::vector<char> buffer(large.size());
  std::size_t got = 0;
  ASSERT_EQ(platform().ReadFile(file, buffer.data(), buffer.size(), got), 0);
  EXPECT_EQ(got, large.size());
  ASSERT_EQ(platform().ReadFile(file, buffer.data(), buffer.size(), got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(platform().CloseFile(file), 0);
}

TEST_P(PlatformContract, CreateFileTruncatesAnExistingFile) {
  ASSERT_TRUE(Put(At("t.txt"), std::string(5000, 'x')));
  ASSERT_TRUE(Put(At("t.txt"), "short"));
  EXPECT_EQ(Get(At("t.txt")), "short");

  // Emptied by the creation itself, with nothing written.
  Platform::Handle file = Platform::kNoHandle;
  ASSERT_EQ(platform().CreateFile(At("t.txt"), file), 0);
  EXPECT_EQ(platform().CloseFile(file), 0);
  EXPECT_EQ(Get(At("t.txt")), "");
}

// Handles keep others off a file as the handlers' own opens expect: a file
// being written is nobody else's, one being read may only be read.
TEST_P(PlatformContract, OpenHandlesShareAsTheyWereOpened) {
  ASSERT_TRUE(Put(At("other"), "other"));
  ASSERT_TRUE(Put(At("written"), "w"));
  Platform::Handle writer = Platform::kNoHandle, second = Platform::kNoHandle;
  ASSERT_EQ(platform().CreateFile(At("written"), writer), 0);
  EXPECT_EQ(platform().OpenRead(At("written"), second), kErrorSharingViolation);
  EXPECT_EQ(platform().CreateFile(At("written"), second), kErrorSharingViolation);
  EXPECT_FALSE(platform().CopyFile(At("written"), At("copy")));
  EXPECT_FALSE(platform().CopyFile(At("other"), At("written")));
  EXPECT_FALSE(platform().ReplaceFile(At("other"), At("written")));
  EXPECT_FALSE(platform().DeleteFile(At("written")));
  ASSERT_EQ(platform().CloseFile(writer), 0);
  EXPECT_TRUE(platform().DeleteFile(At("written"))) << "free once closed";

  Platform::Handle reader = Platform::kNoHandle;
  ASSERT_EQ(platform().OpenRead(At("other"), reader), 0);
  ASSERT_EQ(platform().OpenRead(At("other"), second), 0) << "readers share";
  EXPECT_EQ(platform().CloseFile(second), 0);
  EXPECT_TRUE(platform().CopyFile(At("other"), At("copy")));
  EXPECT_EQ(platform().CreateFile(At("other"), second), kErrorSharingViolation);
  EXPECT_FALSE(platform().MoveFile(At("other"), At("moved")));
  EXPECT_FALSE(platform().DeleteFile(At("other")));
  ASSERT_EQ(platform().CloseFile(reader), 0);
  EXPECT_EQ(Get(At("other")), "other");
  EXPECT_TRUE(platform().MoveFile(At("other"), At("moved")));
}

TEST_P(PlatformContract, OpeningReportsWhatIsMissing) {
  ASSERT_TRUE(platform().CreateFolder(At("folder")));
  Platform::Handle file = Platform::kNoHandle;
  EXPECT_EQ(platform().OpenRead(At("missing.txt"), file), kErrorFileNotFound);
  EXPECT_EQ(platform().OpenRead(At("missing\\file.txt"), file), kErrorPathNotFound);
  EXPECT_EQ(platform().CreateFile(At("missing\\file.txt"), file), kErrorPathNotFound);
  EXPECT_EQ(platform().OpenRead(At("folder"), file), kErrorAccessDenied);
  EXPECT_EQ(platform().CreateFile(At("folder"), file), kErrorAccessDenied);
  EXPECT_EQ(platform().CreateFile(std::string{target_->missing_drive()} + ":\\x.txt", file),
            kErrorPathNotFound);
  EXPECT_FALSE(platform().SystemErrorText(kErrorFileNotFound).empty());
  EXPECT_FALSE(platform().SystemErrorText(kErrorPathNotFound).empty());
  EXPECT_FALSE(platform().SystemErrorText(kErrorAccessDenied).empty());
}

}  // namespace zt::testing
