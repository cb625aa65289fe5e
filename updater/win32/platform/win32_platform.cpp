// Win32Platform: each Platform call is one ANSI Win32 or WinInet call, plus
// the bookkeeping the interface asks for (error codes, handle conversion).
#include "updater/win32/platform/win32_platform.h"

#include <algorithm>
#include <limits>

#include "updater/win32/platform/windows_api.h"

namespace zt {
namespace {

// The one error mapper: the calling thread's last Win32 error. A call that
// failed without setting one still reports a failure. Wine reports a file on
// a drive letter with no drive behind it as "file not found" where Windows
// says "path not found"; the path, when given, lets us answer as Windows does.
int LastError(const std::string* path = nullptr) {
  const DWORD code = ::GetLastError();
  if (code == 0) return ERROR_GEN_FAILURE;
  if (code == ERROR_FILE_NOT_FOUND && path != nullptr && path->size() >= 2 &&
      (*path)[1] == ':') {
    const char root[] = {(*path)[0], ':', '\\', '\0'};
    if (::GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) return ERROR_PATH_NOT_FOUND;
  }
  return static_cast<int>(code);
}

HANDLE ToFile(Platform::Handle h) { return reinterpret_cast<HANDLE>(h); }
HINTERNET ToInternet(Platform::Handle h) { return reinterpret_cast<HINTERNET>(h); }
Platform::Handle FromHandle(void* h) { return reinterpret_cast<Platform::Handle>(h); }

// Closes a directory search on every way out of FindFiles.
class ScopedFind {
 public:
  explicit ScopedFind(HANDLE h) : h_(h) {}
  ~ScopedFind() {
    if (h_ != INVALID_HANDLE_VALUE) ::FindClose(h_);
  }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Opens a file for CreateFileA's callers and reports the error code.
int OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
             Platform::Handle& file) {
  file = Platform::kNoHandle;
  HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError(&path);
  file = FromHandle(h);
  return 0;
}

DWORD ClampToDword(std::size_t n) {
  return static_cast<DWORD>(std::min<std::size_t>(n, std::numeric_limits<DWORD>::max()));
}

}  // namespace

std::string Win32Platform::ProgramFileName() {
  std::string name(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);  // truncated: try again with more room
  }
}

std::uint32_t Win32Platform::FileAttributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32Platform::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Platform::CopyFile(const std::string& from, const std::string& to) {
  return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Win32Platform::DeleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != 0;
}

bool Win32Platform::MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool Win32Platform::ReplaceFile(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
}

int Win32Platform::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) ? 0 : LastError(&path);
}

std::string Win32Platform::CurrentDirectory() {
  const DWORD need = ::GetCurrentDirectoryA(0, nullptr);  // counts the NUL
  if (need == 0) return {};
  std::string dir(need, '\0');
  const DWORD n = ::GetCurrentDirectoryA(need, dir.data());
  dir.resize(n < need ? n : 0);
  return dir;
}

int Win32Platform::FindFiles(const std::string& mask, std::vector<FoundFile>& found) {
  found.clear();
  WIN32_FIND_DATAA data;
  ScopedFind search(::FindFirstFileA(mask.c_str(), &data));
  if (search.get() == INVALID_HANDLE_VALUE) {
    const int error = LastError();
    // An empty match is a search that found nothing, not a failure.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
  }
  do {
    found.push_back({data.cFileName, data.dwFileAttributes});
  } while (::FindNextFileA(search.get(), &data));
  const int error = LastError();
  return error == ERROR_NO_MORE_FILES ? 0 : error;
}

int Win32Platform::OpenRead(const std::string& path, Handle& file) {
  return OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, file);
}

int Win32Platform::CreateFile(const std::string& path, Handle& file) {
  return OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, file);
}

int Win32Platform::ReadFile(Handle file, void* buffer, std::size_t size, std::size_t& got) {
  DWORD n = 0;
  const BOOL ok = ::ReadFile(ToFile(file), buffer, ClampToDword(size), &n, nullptr);
  got = n;
  return ok ? 0 : LastError();
}

int Win32Platform::WriteFile(Handle file, const void* data, std::size_t size,
                             std::size_t& written) {
  DWORD n = 0;
  const BOOL ok = ::WriteFile(ToFile(file), data, ClampToDword(size), &n, nullptr);
  written = n;
  return ok ? 0 : LastError();
}

int Win32Platform::CloseFile(Handle file) {
  return ::CloseHandle(ToFile(file)) ? 0 : LastError();
}

std::string Win32Platform::SystemErrorText(int code) {
  char* text = nullptr;
  const DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string message(text != nullptr ? text : "", n);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}

Platform::Handle Win32Platform::InternetOpen(const std::string& agent) {
  return FromHandle(
      ::InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

Platform::Handle Win32Platform::InternetOpenUrl(Handle internet, const std::string& url) {
  // The element-set server must be reached over plain HTTP as asked: a
  // redirect to HTTPS is not followed.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  return FromHandle(
      ::InternetOpenUrlA(ToInternet(internet), url.c_str(), nullptr, 0, flags, 0));
}

int Win32Platform::HttpStatus(Handle request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoA(ToInternet(request), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                        &status, &size, nullptr)) {
    return 0;
  }
  return static_cast<int>(status);
}

bool Win32Platform::InternetReadFile(Handle request, void* buffer, std::uint32_t size,
                                     std::uint32_t& got) {
  DWORD n = 0;
  const BOOL ok = ::InternetReadFile(ToInternet(request), buffer, size, &n);
  got = n;
  return ok != 0;
}

void Win32Platform::InternetCloseHandle(Handle handle) {
  ::InternetCloseHandle(ToInternet(handle));
}

LocalTime Win32Platform::GetLocalTime() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

NumberFormat Win32Platform::UserNumberFormat() {
  const LCID locale = ::GetUserDefaultLCID();
  // Each setting is one character in the western locales; fall back to the
  // invariant ones when a setting can't be read.
  auto first = [locale](LCTYPE type, char fallback) {
    char text[8] = {};
    return ::GetLocaleInfoA(locale, type, text, sizeof text) > 1 ? text[0] : fallback;
  };
  return {first(LOCALE_SDECIMAL, '.'), first(LOCALE_STHOUSAND, ',')};
}

void Win32Platform::Sleep(unsigned ms) { ::Sleep(ms); }

}  // namespace zt
