// What PosixPlatform adds to the contract: drive letters as folders, name
// lookup without case, attributes from POSIX modes, its error codes and texts.
#include "posix_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <ctime>
#include <filesystem>

#include "posix_error.h"
#include "temp_drives.h"

namespace zt::testing {
namespace {

using ::testing::UnorderedElementsAre;

class PosixPlatformTest : public ::testing::Test {
 protected:
  PosixPlatformTest() {
    drives_.AddDrive('C');
    drives_.AddDrive('E');
    drives_.Put("D/ZenTrovia/ZenTroviaUpdater.exe", "MZ");
  }
  PosixPlatform& platform() {
    if (!platform_) {
      PosixPlatformOptions options;
      options.drives_root = drives_.root();
      options.program_file = "D:\\ZenTrovia\\ZenTroviaUpdater.exe";
      platform_ = std::make_unique<PosixPlatform>(options);
    }
    return *platform_;
  }
  std::string Root(const std::string& relative) { return drives_.root() + "/" + relative; }

  TempDrives drives_;
  std::unique_ptr<PosixPlatform> platform_;
};

TEST_F(PosixPlatformTest, DriveLettersMapToTheirFolders) {
  drives_.Put("E/PSP/GAME/readme.txt", "stick");
  EXPECT_EQ(platform().HostPath("E:\\PSP\\GAME"), Root("E/PSP/GAME"));
  EXPECT_EQ(platform().HostPath("e:/PSP//GAME\\\\readme.txt"), Root("E/PSP/GAME/readme.txt"));
  EXPECT_EQ(platform().HostPath("F:\\PSP\\GAME"), "") << "no folder, no drive";
  EXPECT_EQ(platform().FileAttributes("F:\\"), kInvalidAttributes);
  EXPECT_EQ(platform().FileAttributes("E:\\"), kAttrDirectory);
  EXPECT_EQ(platform().FileAttributes("E:\\PSP\\GAME"), kAttrDirectory);
}

TEST_F(PosixPlatformTest, StartsInTheProgramsFolder) {
  EXPECT_EQ(platform().ProgramFileName(), "D:\\ZenTrovia\\ZenTroviaUpdater.exe");
  EXPECT_EQ(platform().CurrentDirectory(), "D:\\ZenTrovia");
  EXPECT_EQ(platform().HostPath("ZenTroviaUpdater.exe"), Root("D/ZenTrovia/ZenTroviaUpdater.exe"));
}

TEST_F(PosixPlatformTest, EachInstanceKeepsItsOwnCurrentDirectory) {
  std::string process_directory = std::filesystem::current_path();
  PosixPlatformOptions options;
  options.drives_root = drives_.root();
  options.current_directory = "E:\\";
  PosixPlatform other(options);
  ASSERT_EQ(platform().SetCurrentDirectory("C:\\"), 0);
  EXPECT_EQ(platform().CurrentDirectory(), "C:\\");
  EXPECT_EQ(other.CurrentDirectory(), "E:\\");
  EXPECT_EQ(other.HostPath("x.txt"), Root("E/x.txt"));
  EXPECT_EQ(std::filesystem::current_path(), process_directory);
}

TEST_F(PosixPlatformTest, NamesAreFoundWhateverTheirCase) {
  drives_.Put("E/PSP/GAME/ZenTrovia/Location.TXT", "lat=1");
  EXPECT_EQ(platform().FileAttributes("E:\\psp\\game\\ZENTROVIA"), kAttrDirectory);
  EXPECT_EQ(platform().HostPath("e:\\psp\\Game\\zentrovia\\location.txt"),
            Root("E/PSP/GAME/ZenTrovia/Location.TXT"));

  // A new name keeps the case it was given; an existing one is written in place.
  Platform::Handle file;
  ASSERT_EQ(platform().CreateFile("E:\\psp\\game\\zentrovia\\LOCATION.txt", file), 0);
  ASSERT_EQ(platform().CloseFile(file), 0);
  EXPECT_EQ(drives_.Get("E/PSP/GAME/ZenTrovia/Location.TXT"), "");
  ASSERT_EQ(platform().CreateFile("E:\\psp\\game\\zentrovia\\New.txt", file), 0);
  ASSERT_EQ(platform().CloseFile(file), 0);
  EXPECT_EQ(drives_.Get("E/PSP/GAME/ZenTrovia/New.txt"), "");
}

TEST_F(PosixPlatformTest, AttributesFollowModesAndDotNames) {
  drives_.Put("C/plain.txt", "p");
  drives_.Put("C/.hidden.txt", "h");
  drives_.Put("C/locked.txt", "l");
  std::filesystem::create_directories(Root("C/.config"));
  ASSERT_EQ(chmod(Root("C/locked.txt").c_str(), 0444), 0);

  EXPECT_EQ(platform().FileAttributes("C:\\plain.txt"), kAttrArchive);
  EXPECT_EQ(platform().FileAttributes("C:\\.hidden.txt"), kAttrArchive | kAttrHidden);
  EXPECT_EQ(platform().FileAttributes("C:\\locked.txt"), kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(platform().FileAttributes("C:\\.config"), kAttrDirectory | kAttrHidden);

  std::vector<FoundFile> found;
  ASSERT_EQ(platform().FindFiles("C:\\*", found), 0);
  std::vector<std::pair<std::string, std::uint32_t>> seen;
  for (const FoundFile& f : found) seen.emplace_back(f.name, f.attributes);
  EXPECT_THAT(seen, UnorderedElementsAre(
                        std::pair<std::string, std::uint32_t>{"plain.txt", kAttrArchive},
                        std::pair<std::string, std::uint32_t>{".hidden.txt", kAttrArchive | kAttrHidden},
                        std::pair<std::string, std::uint32_t>{"locked.txt", kAttrArchive | kAttrReadOnly},
                        std::pair<std::string, std::uint32_t>{".config", kAttrDirectory | kAttrHidden}));
}

// Windows refuses to write over or delete a read-only file even for an
// administrator; root must see the same here.
TEST_F(PosixPlatformTest, ReadOnlyFilesAreNotOverwrittenOrDeleted) {
  drives_.Put("C/locked.txt", "keep");
  drives_.Put("C/other.txt", "other");
  ASSERT_EQ(chmod(Root("C/locked.txt").c_str(), 0444), 0);
  Platform::Handle file;
  EXPECT_EQ(platform().CreateFile("C:\\locked.txt", file), kErrorAccessDenied);
  EXPECT_FALSE(platform().DeleteFile("C:\\locked.txt"));
  EXPECT_FALSE(platform().CopyFile("C:\\other.txt", "C:\\locked.txt"));
  EXPECT_FALSE(platform().ReplaceFile("C:\\other.txt", "C:\\locked.txt"));
  EXPECT_EQ(drives_.Get("C/locked.txt"), "keep");
  EXPECT_EQ(platform().OpenRead("C:\\locked.txt", file), 0);
  EXPECT_EQ(platform().CloseFile(file), 0);
}

TEST_F(PosixPlatformTest, CopyingAFileOntoItselfKeepsIt) {
  drives_.Put("C/self.txt", "self");
  EXPECT_FALSE(platform().CopyFile("C:\\self.txt", "c:\\SELF.TXT"));
  EXPECT_EQ(drives_.Get("C/self.txt"), "self");
}

TEST_F(PosixPlatformTest, HandlesAreSmallNonZeroAndChecked) {
  drives_.Put("C/a.txt", "a");
  Platform::Handle first, second;
  ASSERT_EQ(platform().OpenRead("C:\\a.txt", first), 0);
  ASSERT_EQ(platform().OpenRead("C:\\a.txt", second), 0);
  EXPECT_GT(first, 0);
  EXPECT_NE(first, second);
  ASSERT_EQ(platform().CloseFile(first), 0);

  char buffer[4];
  std::size_t got = 99;
  EXPECT_EQ(platform().ReadFile(first, buffer, sizeof buffer, got), kErrorInvalidHandle);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(platform().CloseFile(first), kErrorInvalidHandle);
  EXPECT_EQ(platform().CloseFile(Platform::kNoHandle), kErrorInvalidHandle);
  EXPECT_EQ(platform().CloseFile(12345), kErrorInvalidHandle);
  std::size_t written = 99;
  EXPECT_EQ(platform().WriteFile(second, "x", 1, written), kErrorAccessDenied)
      << "a handle opened for reading";
  EXPECT_EQ(platform().CloseFile(second), 0);

  Platform::Handle writer;
  ASSERT_EQ(platform().CreateFile("C:\\b.txt", writer), 0);
  EXPECT_EQ(platform().ReadFile(writer, buffer, sizeof buffer, got), kErrorAccessDenied)
      << "a handle opened for writing";
  EXPECT_EQ(platform().CloseFile(writer), 0);
}

TEST_F(PosixPlatformTest, SetCurrentDirectoryTellsAFileFromAMissingFolder) {
  drives_.Put("C/file.txt", "f");
  EXPECT_EQ(platform().SetCurrentDirectory("C:\\missing"), kErrorFileNotFound);
  EXPECT_EQ(platform().SetCurrentDirectory("C:\\missing\\deeper"), kErrorPathNotFound);
  EXPECT_EQ(platform().SetCurrentDirectory("C:\\file.txt"), posix_detail::kErrorDirectoryName);
  EXPECT_EQ(platform().SetCurrentDirectory("Q:\\"), kErrorPathNotFound);
  EXPECT_EQ(platform().CurrentDirectory(), "D:\\ZenTrovia");
}

TEST(WindowsError, MapsErrnoToWindowsCodes) {
  TempDrives drives;
  drives.Put("folder/file", "");
  const std::string in_folder = drives.root() + "/folder/missing";
  const std::string deeper = drives.root() + "/nofolder/missing";
  struct Case {
    int err;
    std::string path;
    int code;
  } cases[] = {
      {ENOENT, in_folder, kErrorFileNotFound},  {ENOENT, deeper, kErrorPathNotFound},
      {ENOTDIR, in_folder, kErrorPathNotFound}, {EACCES, "", kErrorAccessDenied},
      {EPERM, "", kErrorAccessDenied},          {EISDIR, "", kErrorAccessDenied},
      {EMFILE, "", kErrorTooManyOpenFiles},     {ENFILE, "", kErrorTooManyOpenFiles},
      {ENOSPC, "", kErrorDiskFull},             {EEXIST, "", kErrorAlreadyExists},
      {EBUSY, "", kErrorSharingViolation},      {EBADF, "", kErrorInvalidHandle},
      {EROFS, "", 19},                          {0, "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(posix_detail::WindowsError(c.err, c.path), c.code) << "errno " << c.err;
  }
  EXPECT_NE(posix_detail::WindowsError(ELOOP, ""), 0) << "an unusual errno still fails";
}

TEST_F(PosixPlatformTest, ErrorTextsAreTheSystemsOwn) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {kErrorFileNotFound, "The system cannot find the file specified."},
      {kErrorPathNotFound, "The system cannot find the path specified."},
      {kErrorAccessDenied, "Access is denied."},
      {kErrorTooManyOpenFiles, "The system cannot open the file."},
      {kErrorInvalidHandle, "The handle is invalid."},
      {kErrorNotReady, "The device is not ready."},
      {kErrorSharingViolation,
       "The process cannot access the file because it is being used by another process."},
      {kErrorDiskFull, "There is not enough space on the disk."},
      {kErrorHandleDiskFull, "The disk is full."},
      {kErrorAlreadyExists, "Cannot create a file when that file already exists."},
      {kErrorFileExists, "The file exists."},
  };
  for (const Case& c : cases) EXPECT_EQ(platform().SystemErrorText(c.code), c.text);
  EXPECT_FALSE(platform().SystemErrorText(99999).empty());
}

TEST_F(PosixPlatformTest, LocalTimeAndNumberFormatComeFromTheHost) {
  std::time_t before = std::time(nullptr);
  LocalTime now = platform().GetLocalTime();
  std::tm local;
  localtime_r(&before, &local);
  EXPECT_EQ(now.year, local.tm_year + 1900);
  EXPECT_EQ(now.month, local.tm_mon + 1);
  EXPECT_GE(now.milliseconds, 0);
  EXPECT_LT(now.milliseconds, 1000);

  NumberFormat format = platform().UserNumberFormat();
  EXPECT_EQ(format.decimal_separator, std::localeconv()->decimal_point[0]);
}

}  // namespace
}  // namespace zt::testing
