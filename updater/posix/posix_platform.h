// The platform on POSIX systems, for the native build and its tests. Drive
// letters map to folders under a root of the test's choosing, so that a test
// can lay out "C:", "E:" and the memory stick as plain folders, and several
// platforms can run side by side in one process: each keeps its own current
// directory and never changes the process's.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "updater/core/platform.h"

namespace zt {

struct PosixPlatformOptions {
  std::string drives_root;        // POSIX folder holding one folder per drive letter, named by the
                                  // upper-case letter ("C", "E"); a letter without a folder has no drive
  std::string program_file;       // Windows path of the running program, e.g. "D:\\ZenTrovia\\ZenTroviaUpdater.exe"
  std::string current_directory;  // initial current directory as a Windows path; empty: the program's folder
  // Test hook: "host:port" -> "127.0.0.1:port", so the program's fixed URLs reach a loopback server.
  std::map<std::string, std::string> connect_to;
  long connect_timeout_ms = 60000;  // like the Windows internet client's defaults
  long idle_timeout_ms = 30000;     // a transfer that receives nothing for this long fails
};

class CurlInternet;

class PosixPlatform : public Platform {
 public:
  explicit PosixPlatform(PosixPlatformOptions options);
  ~PosixPlatform() override;
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  // The POSIX path a Windows path names (resolved against the current directory), or "" when its
  // drive does not exist. For tests that set up or read files.
  std::string HostPath(const std::string& windows_path);

  std::string ProgramFileName() override;
  std::uint32_t FileAttributes(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  int SetCurrentDirectory(const std::string& path) override;
  std::string CurrentDirectory() override;
  int FindFiles(const std::string& mask, std::vector<FoundFile>& found) override;

  int OpenRead(const std::string& path, Handle& file) override;
  int CreateFile(const std::string& path, Handle& file) override;
  int ReadFile(Handle file, void* buffer, std::size_t size, std::size_t& got) override;
  int WriteFile(Handle file, const void* data, std::size_t size, std::size_t& written) override;
  int CloseFile(Handle file) override;
  std::string SystemErrorText(int code) override;

  Handle InternetOpen(const std::string& agent) override;
  Handle InternetOpenUrl(Handle internet, const std::string& url) override;
  int HttpStatus(Handle request) override;
  bool InternetReadFile(Handle request, void* buffer, std::uint32_t size,
                        std::uint32_t& got) override;
  void InternetCloseHandle(Handle handle) override;

  LocalTime GetLocalTime() override;
  NumberFormat UserNumberFormat() override;
  void Sleep(unsigned ms) override;

 private:
  // Resolves a Windows path to a host path; "" when the drive is missing.
  std::string Resolve(const std::string& windows_path);
  // The file descriptor behind a handle, or -1.
  int Descriptor(Handle file) const;
  Handle AddFile(int fd, bool writes);
  // Whether this platform's open handles keep `host_path` from being read
  // (writes == false) or written, deleted or renamed (writes == true), as the
  // share modes of the Windows handles would: a handle open for writing
  // shares nothing, one open for reading shares reading only.
  bool Locked(const std::string& host_path, bool writes) const;

  struct OpenFile {
    int fd = -1;  // -1 for a free slot
    unsigned long long device = 0, inode = 0;
    bool writes = false;
  };
  PosixPlatformOptions options_;
  std::string current_;          // absolute Windows path, "X:\" or "X:\A\B"
  std::vector<OpenFile> files_;  // handle - 1 -> open file
  std::unique_ptr<CurlInternet> internet_;
};

}  // namespace zt
