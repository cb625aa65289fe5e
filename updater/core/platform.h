// The platform seam: every service the updater takes from the operating
// system. Win32 implements it for the product, POSIX for the tests (drive
// letters map to folders). Paths are 8-bit text in Windows form: "\" or "/"
// separate names and a doubled separator reads as one.
//
// Nothing here throws. Operations that can fail return a Boolean or a Windows
// system error code (0 for success, 2 file not found, 3 path not found, 5
// access denied, ...), which the text-file layer turns into I/O errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zt {

// File attribute bits, as Windows reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrVolumeId = 0x08;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

// Windows system error codes the platforms produce and the code tests for.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorInvalidHandle = 6;
inline constexpr int kErrorNotReady = 21;
inline constexpr int kErrorSharingViolation = 32;
inline constexpr int kErrorHandleDiskFull = 39;
inline constexpr int kErrorFileExists = 80;
inline constexpr int kErrorDiskFull = 112;
inline constexpr int kErrorAlreadyExists = 183;

struct FoundFile {
  std::string name;  // bare name, no folder
  std::uint32_t attributes;
};

struct LocalTime {
  int year, month, day;  // month 1..12, day 1..31
  int hour, minute, second, milliseconds;
};

// Number settings of the user's default locale.
struct NumberFormat {
  char decimal_separator;
  char thousand_separator;
};

class Platform {
 public:
  using Handle = std::intptr_t;
  static constexpr Handle kNoHandle = 0;

  virtual ~Platform() = default;

  // --- The program --------------------------------------------------------
  // Full path of the running program file.
  virtual std::string ProgramFileName() = 0;

  // --- Folders and files --------------------------------------------------
  // GetFileAttributesA: the attributes of the file or folder, or
  // kInvalidAttributes when there is none (also: no drive behind the letter,
  // no medium in the drive).
  virtual std::uint32_t FileAttributes(const std::string& path) = 0;
  // Creates one folder; its parent must exist. False when it failed or the
  // folder was there already.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Copies a whole file; an existing destination is replaced. False on any
  // failure.
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  // Renames; fails when the destination exists.
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
  // Renames, replacing an existing destination in one step: afterwards the
  // destination holds either its old content or the new one, never neither.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  // Process-wide current directory. Set returns 0 or the system error code.
  virtual int SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string CurrentDirectory() = 0;
  // Directory search for a mask such as "./*.txt" (case-insensitive match
  // of the name part). Every entry found, unfiltered, in the order the file
  // system delivers them. Returns 0, or the system error code when the
  // search could not be made (no matching entry at all is 0 with none).
  virtual int FindFiles(const std::string& mask, std::vector<FoundFile>& found) = 0;

  // --- Raw files ----------------------------------------------------------
  // Each returns 0 or the system error code.
  virtual int OpenRead(const std::string& path, Handle& file) = 0;
  // CreateFileA with GENERIC_WRITE, no sharing, CREATE_ALWAYS: an existing
  // file is truncated.
  virtual int CreateFile(const std::string& path, Handle& file) = 0;
  // Reads up to size bytes; got == 0 at the end of the file.
  virtual int ReadFile(Handle file, void* buffer, std::size_t size, std::size_t& got) = 0;
  virtual int WriteFile(Handle file, const void* data, std::size_t size, std::size_t& written) = 0;
  virtual int CloseFile(Handle file) = 0;
  // The system's text for an error code, as shown in "Cannot open file" errors.
  virtual std::string SystemErrorText(int code) = 0;

  // --- Internet client ----------------------------------------------------
  // InternetOpenA with the given user agent, the system's proxy settings,
  // synchronous. kNoHandle on failure.
  virtual Handle InternetOpen(const std::string& agent) = 0;
  // InternetOpenUrlA with INTERNET_FLAG_RELOAD: sends the GET and receives
  // the response head. kNoHandle when the server can't be reached.
  virtual Handle InternetOpenUrl(Handle internet, const std::string& url) = 0;
  // HTTP status code of an opened request; 0 when unknown.
  virtual int HttpStatus(Handle request) = 0;
  // Reads up to size bytes of the body. False on failure; true with
  // got == 0 at the end of the body.
  virtual bool InternetReadFile(Handle request, void* buffer, std::uint32_t size,
                                std::uint32_t& got) = 0;
  virtual void InternetCloseHandle(Handle handle) = 0;

  // --- Clock, locale, sleep -----------------------------------------------
  virtual LocalTime GetLocalTime() = 0;
  virtual NumberFormat UserNumberFormat() = 0;
  virtual void Sleep(unsigned ms) = 0;
};

// Forwards every call to a target, so that a test double overrides only the
// calls it cares about. Doubles stack: a fault injector over the real thing.
class PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(Platform& target) : target_(target) {}
  Platform& target() { return target_; }

  std::string ProgramFileName() override { return target_.ProgramFileName(); }
  std::uint32_t FileAttributes(const std::string& p) override { return target_.FileAttributes(p); }
  bool CreateFolder(const std::string& p) override { return target_.CreateFolder(p); }
  bool CopyFile(const std::string& f, const std::string& t) override {
    return target_.CopyFile(f, t);
  }
  bool DeleteFile(const std::string& p) override { return target_.DeleteFile(p); }
  bool MoveFile(const std::string& f, const std::string& t) override {
    return target_.MoveFile(f, t);
  }
  bool ReplaceFile(const std::string& f, const std::string& t) override {
    return target_.ReplaceFile(f, t);
  }
  int SetCurrentDirectory(const std::string& p) override { return target_.SetCurrentDirectory(p); }
  std::string CurrentDirectory() override { return target_.CurrentDirectory(); }
  int FindFiles(const std::string& m, std::vector<FoundFile>& found) override {
    return target_.FindFiles(m, found);
  }
  int OpenRead(const std::string& p, Handle& f) override { return target_.OpenRead(p, f); }
  int CreateFile(const std::string& p, Handle& f) override { return target_.CreateFile(p, f); }
  int ReadFile(Handle f, void* b, std::size_t n, std::size_t& got) override {
    return target_.ReadFile(f, b, n, got);
  }
  int WriteFile(Handle f, const void* d, std::size_t n, std::size_t& written) override {
    return target_.WriteFile(f, d, n, written);
  }
  int CloseFile(Handle f) override { return target_.CloseFile(f); }
  std::string SystemErrorText(int code) override { return target_.SystemErrorText(code); }
  Handle InternetOpen(const std::string& a) override { return target_.InternetOpen(a); }
  Handle InternetOpenUrl(Handle i, const std::string& u) override {
    return target_.InternetOpenUrl(i, u);
  }
  int HttpStatus(Handle r) override { return target_.HttpStatus(r); }
  bool InternetReadFile(Handle r, void* b, std::uint32_t n, std::uint32_t& got) override {
    return target_.InternetReadFile(r, b, n, got);
  }
  void InternetCloseHandle(Handle h) override { target_.InternetCloseHandle(h); }
  LocalTime GetLocalTime() override { return target_.GetLocalTime(); }
  NumberFormat UserNumberFormat() override { return target_.UserNumberFormat(); }
  void Sleep(unsigned ms) override { target_.Sleep(ms); }

 private:
  Platform& target_;
};

}  // namespace zt
