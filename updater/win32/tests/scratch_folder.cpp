#include "updater/win32/tests/scratch_folder.h"

#include <atomic>
#include <stdexcept>

#include "updater/win32/platform/windows_api.h"

namespace zt::testing {
namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(search, &data));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof temp, temp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
  path_ = std::string(temp) + "zt_scratch_" + std::to_string(::GetCurrentProcessId()) + "_" +
          std::to_string(counter++);
  RemoveTree(path_);  // left over from a crashed run with the same process id
  if (!::CreateDirectoryA(path_.c_str(), nullptr)) {
    throw std::runtime_error("cannot create " + path_);
  }
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace zt::testing
