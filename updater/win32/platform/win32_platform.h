// The Platform over Win32's ANSI calls and WinInet. The header keeps
// <windows.h> out: its macros (CopyFile, CreateFile, ...) would rename the
// Platform's methods in every file that includes it.
#pragma once

#include "updater/core/platform.h"

namespace zt {

class Win32Platform : public Platform {
 public:
  Win32Platform() = default;

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
};

}  // namespace zt
