#include "posix_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>

#include "curl_internet.h"
#include "posix_error.h"
#include "windows_path.h"

namespace zt {
namespace {

using posix_detail::WindowsError;
using posix_detail::WindowsPath;

// Closes a descriptor on every return path.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::uint32_t AttributesOf(const struct stat& st, const std::string& name) {
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if (!S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
  // Windows layers on Unix report dot-names as hidden; so do we.
  if (!name.empty() && name[0] == '.') attributes |= kAttrHidden;
  return attributes;
}

std::string BaseName(const std::string& host_path) {
  std::size_t cut = host_path.find_last_of('/');
  return cut == std::string::npos ? host_path : host_path.substr(cut + 1);
}

// The name of `name`'s entry in `folder`: the exact name when it exists, else
// the first entry equal to it ignoring case, else `name` itself (for creating).
std::string LookUp(const std::string& folder, const std::string& name) {
  struct stat st;
  if (lstat((folder + '/' + name).c_str(), &st) == 0) return name;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return name;
  std::string found = name;
  while (dirent* entry = readdir(dir)) {
    if (posix_detail::SameName(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// An existing file that Windows would report read-only: writes, deletes and
// replacements of it are refused, whoever runs the tests (root included).
bool IsReadOnlyFile(const std::string& host_path) {
  struct stat st;
  return stat(host_path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool IsFolder(const std::string& host_path) {
  struct stat st;
  return stat(host_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const char* data, std::size_t size, std::size_t& written) {
  written = 0;
  while (written < size) {
    ssize_t n = write(fd, data + written, size - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

std::string InitialDirectory(const PosixPlatformOptions& options) {
  std::string wanted = options.current_directory;
  if (wanted.empty()) {
    std::size_t cut = options.program_file.find_last_of("\\/");
    wanted = cut == std::string::npos ? std::string() : options.program_file.substr(0, cut + 1);
  }
  WindowsPath path;
  if (wanted.empty() || !posix_detail::ResolveWindowsPath(wanted, "C:\\", path)) return "C:\\";
  return posix_detail::FormatWindowsPath(path);
}

CurlInternetOptions InternetOptions(const PosixPlatformOptions& options) {
  CurlInternetOptions out;
  out.connect_to = options.connect_to;
  out.connect_timeout_ms = options.connect_timeout_ms;
  out.idle_timeout_ms = options.idle_timeout_ms;
  return out;
}

}  // namespace

PosixPlatform::PosixPlatform(PosixPlatformOptions options)
    : options_(std::move(options)),
      current_(InitialDirectory(options_)),
      internet_(std::make_unique<CurlInternet>(InternetOptions(options_))) {}

PosixPlatform::~PosixPlatform() {
  for (const OpenFile& f : files_) {
    if (f.fd >= 0) close(f.fd);
  }
}

std::string PosixPlatform::Resolve(const std::string& windows_path) {
  WindowsPath path;
  if (!posix_detail::ResolveWindowsPath(windows_path, current_, path)) return "";
  std::string host = options_.drives_root + '/' + path.drive;
  if (!IsFolder(host)) return "";
  for (const std::string& name : path.names) host += '/' + LookUp(host, name);
  return host;
}

std::string PosixPlatform::HostPath(const std::string& windows_path) {
  return Resolve(windows_path);
}

std::string PosixPlatform::ProgramFileName() { return options_.program_file; }

std::uint32_t PosixPlatform::FileAttributes(const std::string& path) {
  std::string host = Resolve(path);
  struct stat st;
  if (host.empty() || stat(host.c_str(), &st) != 0) return kInvalidAttributes;
  return AttributesOf(st, BaseName(host));
}

bool PosixPlatform::CreateFolder(const std::string& path) {
  std::string host = Resolve(path);
  return !host.empty() && mkdir(host.c_str(), 0777) == 0;
}

bool PosixPlatform::CopyFile(const std::string& from, const std::string& to) {
  std::string source = Resolve(from), target = Resolve(to);
  if (source.empty() || target.empty()) return false;
  if (Locked(source, false) || Locked(target, true)) return false;
  ScopedFd in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat in_st, out_st;
  if (in.get() < 0 || fstat(in.get(), &in_st) != 0 || S_ISDIR(in_st.st_mode)) return false;
  if (stat(target.c_str(), &out_st) == 0) {
    // Copying a file onto itself would truncate it before reading.
    if (out_st.st_dev == in_st.st_dev && out_st.st_ino == in_st.st_ino) return false;
    if (IsReadOnlyFile(target)) return false;
  }
  ScopedFd out(open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (out.get() < 0) return false;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(in.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    std::size_t written;
    if (!WriteAll(out.get(), buffer, static_cast<std::size_t>(n), written)) return false;
  }
  // The copy carries the read-only attribute along, as on Windows.
  fchmod(out.get(), in_st.st_mode & 07777);
  return close(out.release()) == 0;
}

bool PosixPlatform::DeleteFile(const std::string& path) {
  std::string host = Resolve(path);
  struct stat st;
  if (host.empty() || lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (IsReadOnlyFile(host) || Locked(host, true)) return false;
  return unlink(host.c_str()) == 0;
}

bool PosixPlatform::MoveFile(const std::string& from, const std::string& to) {
  std::string source = Resolve(from), target = Resolve(to);
  if (source.empty() || target.empty() || Locked(source, true)) return false;
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace rename: check, then rename.
  struct stat st;
  if (lstat(target.c_str(), &st) == 0) return false;
  return rename(source.c_str(), target.c_str()) == 0;
}

bool PosixPlatform::ReplaceFile(const std::string& from, const std::string& to) {
  std::string source = Resolve(from), target = Resolve(to);
  if (source.empty() || target.empty() || IsFolder(target) || IsReadOnlyFile(target) ||
      Locked(source, true) || Locked(target, true)) {
    return false;
  }
  return rename(source.c_str(), target.c_str()) == 0;
}

int PosixPlatform::SetCurrentDirectory(const std::string& path) {
  WindowsPath resolved;
  if (!posix_detail::ResolveWindowsPath(path, current_, resolved)) return kErrorPathNotFound;
  std::string host = Resolve(path);
  if (host.empty()) return kErrorPathNotFound;
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return WindowsError(errno, host);
  if (!S_ISDIR(st.st_mode)) return posix_detail::kErrorDirectoryName;
  current_ = posix_detail::FormatWindowsPath(resolved);
  return 0;
}

std::string PosixPlatform::CurrentDirectory() { return current_; }

int PosixPlatform::FindFiles(const std::string& mask, std::vector<FoundFile>& found) {
  found.clear();
  std::string folder, pattern;
  posix_detail::SplitMask(mask, folder, pattern);
  std::string host = Resolve(folder.empty() ? "." : folder);
  if (host.empty()) return kErrorPathNotFound;
  DIR* dir = opendir(host.c_str());
  if (dir == nullptr) return errno == ENOENT ? kErrorPathNotFound : WindowsError(errno, host);
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !posix_detail::MatchWildcard(pattern, name)) continue;
    struct stat st;
    std::uint32_t attributes = kAttrArchive;
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0) attributes = AttributesOf(st, name);
    found.push_back({name, attributes});
  }
  closedir(dir);
  return 0;
}

int PosixPlatform::Descriptor(Handle file) const {
  if (file < 1 || static_cast<std::size_t>(file) > files_.size()) return -1;
  return files_[static_cast<std::size_t>(file - 1)].fd;
}

Platform::Handle PosixPlatform::AddFile(int fd, bool writes) {
  OpenFile open_file;
  open_file.fd = fd;
  open_file.writes = writes;
  struct stat st;
  if (fstat(fd, &st) == 0) {
    open_file.device = st.st_dev;
    open_file.inode = st.st_ino;
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (files_[i].fd < 0) {
      files_[i] = open_file;
      return static_cast<Handle>(i + 1);
    }
  }
  files_.push_back(open_file);
  return static_cast<Handle>(files_.size());
}

bool PosixPlatform::Locked(const std::string& host_path, bool writes) const {
  struct stat st;
  if (stat(host_path.c_str(), &st) != 0) return false;
  for (const OpenFile& f : files_) {
    if (f.fd >= 0 && f.device == st.st_dev && f.inode == st.st_ino && (f.writes || writes)) {
      return true;
    }
  }
  return false;
}

int PosixPlatform::OpenRead(const std::string& path, Handle& file) {
  file = kNoHandle;
  std::string host = Resolve(path);
  if (host.empty()) return kErrorPathNotFound;
  if (IsFolder(host)) return kErrorAccessDenied;
  if (Locked(host, false)) return kErrorSharingViolation;
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return WindowsError(errno, host);
  file = AddFile(fd, false);
  return 0;
}

int PosixPlatform::CreateFile(const std::string& path, Handle& file) {
  file = kNoHandle;
  std::string host = Resolve(path);
  if (host.empty()) return kErrorPathNotFound;
  if (IsFolder(host) || IsReadOnlyFile(host)) return kErrorAccessDenied;
  if (Locked(host, true)) return kErrorSharingViolation;
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return WindowsError(errno, host);
  file = AddFile(fd, true);
  return 0;
}

int PosixPlatform::ReadFile(Handle file, void* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  int fd = Descriptor(file);
  if (fd < 0) return kErrorInvalidHandle;
  if (files_[static_cast<std::size_t>(file - 1)].writes) return kErrorAccessDenied;
  char* out = static_cast<char*>(buffer);
  while (got < size) {
    ssize_t n = read(fd, out + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WindowsError(errno, "");
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return 0;
}

int PosixPlatform::WriteFile(Handle file, const void* data, std::size_t size,
                             std::size_t& written) {
  written = 0;
  int fd = Descriptor(file);
  if (fd < 0) return kErrorInvalidHandle;
  if (!files_[static_cast<std::size_t>(file - 1)].writes) return kErrorAccessDenied;
  if (!WriteAll(fd, static_cast<const char*>(data), size, written)) return WindowsError(errno, "");
  return 0;
}

int PosixPlatform::CloseFile(Handle file) {
  int fd = Descriptor(file);
  if (fd < 0) return kErrorInvalidHandle;
  files_[static_cast<std::size_t>(file - 1)] = OpenFile{};
  return close(fd) == 0 ? 0 : WindowsError(errno, "");
}

std::string PosixPlatform::SystemErrorText(int code) {
  return posix_detail::WindowsErrorText(code);
}

Platform::Handle PosixPlatform::InternetOpen(const std::string& agent) {
  return internet_->Open(agent);
}

Platform::Handle PosixPlatform::InternetOpenUrl(Handle internet, const std::string& url) {
  return internet_->OpenUrl(internet, url);
}

int PosixPlatform::HttpStatus(Handle request) { return internet_->HttpStatus(request); }

bool PosixPlatform::InternetReadFile(Handle request, void* buffer, std::uint32_t size,
                                     std::uint32_t& got) {
  return internet_->Read(request, buffer, size, got);
}

void PosixPlatform::InternetCloseHandle(Handle handle) { internet_->Close(handle); }

LocalTime PosixPlatform::GetLocalTime() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  tm local;
  localtime_r(&now.tv_sec, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min,         local.tm_sec,     static_cast<int>(now.tv_nsec / 1000000)};
}

NumberFormat PosixPlatform::UserNumberFormat() {
  const lconv* conv = localeconv();
  NumberFormat format{'.', ','};
  if (conv->decimal_point && conv->decimal_point[0]) format.decimal_separator = conv->decimal_point[0];
  if (conv->thousands_sep && conv->thousands_sep[0]) format.thousand_separator = conv->thousands_sep[0];
  return format;
}

void PosixPlatform::Sleep(unsigned ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace zt
