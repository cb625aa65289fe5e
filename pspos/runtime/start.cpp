// The start entry every module uses: it runs in the kernel's start thread,
// takes the folder of the module's own path as the working directory and
// runs the module's main.
#include "../module.h"

namespace {

char gCwd[ZT_RUNTIME_PATH_SIZE] = {};

using DirOpen = int(const char* path);
using DirClose = int(int fd);

// The working directory changes only to a folder that opens as a folder.
void changeDirectory(const char* path) {
  char folder[ZT_RUNTIME_PATH_SIZE];
  if (!zt_runtime_folder_of(path, folder, sizeof folder)) return;
  if (zt_runtime_io[0] == nullptr || zt_runtime_io[1] == nullptr) return;
  // An empty folder is the root of the relative or absolute tree it came from.
  const char* probe = folder;
  char root[ZT_RUNTIME_PATH_SIZE];
  const std::size_t n = strlen(folder);
  if (n == 0 || folder[n - 1] == ':') {
    if (n + 2 > sizeof root) return;
    memcpy(root, folder, n);
    root[n] = path[n] == '/' ? '/' : '.';
    root[n + 1] = '\0';
    probe = root;
  }
  const int fd = ZT_CALL(zt_runtime_io, 0, DirOpen)(probe);
  if (fd < 0) return;
  ZT_CALL(zt_runtime_io, 1, DirClose)(fd);
  memcpy(gCwd, folder, n + 1);
}

}  // namespace

extern "C" {

int zt_runtime_start(std::uint32_t argSize, void* argBlock) {
  char* argv[ZT_RUNTIME_MAX_ARGS + 1] = {};
  int argc = 0;
  char* block = static_cast<char*>(argBlock);
  std::uint32_t pos = 0;
  while (block != nullptr && pos < argSize && argc < ZT_RUNTIME_MAX_ARGS) {
    std::uint32_t end = pos;
    while (end < argSize && block[end] != '\0') ++end;
    if (end == argSize) break;  // an unterminated last string is left out
    argv[argc++] = block + pos;
    pos = end + 1;
  }
  if (argc > 0) changeDirectory(argv[0]);
  zt_module_main(argc, argv);
  return 0;
}

const char* zt_runtime_cwd(void) { return gCwd; }

const std::uintptr_t zt_runtime_system_words[2] = {pspos::kModuleStartNid,
                                                   ZT_FN(zt_runtime_start)};
}
