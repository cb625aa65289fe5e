// The kernel's services besides the registry: SHA-1, device paths and
// folder descriptors, and the export table of the built-in kernel module.
#include <dirent.h>
#include <nettle/sha1.h>

#include <iterator>
#include <map>
#include <mutex>
#include <vector>

#include "kernel.h"
#include "kernel_services.h"

namespace pspos {
namespace {

constexpr std::size_t kMaxOpenFolders = 64;

struct Services {
  std::mutex mutex;
  std::map<std::string, std::string> devices;
  std::vector<DIR*> folders = std::vector<DIR*>(kMaxOpenFolders, nullptr);
};

Services& services() {
  static Services s;
  return s;
}

ZT_EXPORT_WORDS(kLoadCoreWords, nid::kFindModuleByName, nid::kFindModuleByUid,
                ZT_FN(sceKernelFindModuleByName), ZT_FN(sceKernelFindModuleByUID));
ZT_EXPORT_WORDS(kModuleMgrWords, nid::kLoadModule, nid::kStartModule,
                ZT_FN(sceKernelLoadModule), ZT_FN(sceKernelStartModule));
ZT_EXPORT_WORDS(kUtilsWords, nid::kSha1Digest, ZT_FN(sceKernelUtilsSha1Digest));
ZT_EXPORT_WORDS(kIoWords, nid::kDirOpen, nid::kDirClose, ZT_FN(ioDirOpen), ZT_FN(ioDirClose));

const ExportEntry kKernelExports[] = {
    ZT_EXPORT_LIBRARY("LoadCoreForKernel", 0x0011, 0x0001, 2, 0, kLoadCoreWords),
    ZT_EXPORT_LIBRARY("ModuleMgrForUser", 0x0011, 0x4001, 2, 0, kModuleMgrWords),
    ZT_EXPORT_LIBRARY("UtilsForUser", 0x0011, 0x4001, 1, 0, kUtilsWords),
    ZT_EXPORT_LIBRARY("IoForUser", 0x0011, 0x4001, 2, 0, kIoWords),
};

const ModuleInfo kKernelInfo = {
    0x1000, 1, 1, "kernel",
    kKernelExports, kKernelExports + std::size(kKernelExports),
    nullptr, nullptr,
};

bool isDeviceChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

}  // namespace

std::string hostPath(const char* path) {
  std::size_t n = 0;
  while (isDeviceChar(path[n])) ++n;
  if (n == 0 || path[n] != ':') return path;
  Services& s = services();
  std::lock_guard lock(s.mutex);
  auto it = s.devices.find(std::string(path, n + 1));
  return it == s.devices.end() ? std::string(path) : it->second + (path + n + 1);
}

void mapDevice(const std::string& device, const std::string& hostFolder) {
  Services& s = services();
  std::lock_guard lock(s.mutex);
  s.devices[device] = hostFolder;
}

void resetServices() {
  Services& s = services();
  std::lock_guard lock(s.mutex);
  s.devices.clear();
  for (DIR*& d : s.folders) {
    if (d != nullptr) closedir(d);
    d = nullptr;
  }
}

const ModuleInfo& kernelModuleInfo() { return kKernelInfo; }

std::int32_t defaultSha1Digest(const std::uint8_t* data, std::uint32_t size,
                               std::uint8_t* digest) {
  if (digest == nullptr || (data == nullptr && size > 0)) return kErrorIllegalArgument;
  sha1_ctx ctx;
  sha1_init(&ctx);
  sha1_update(&ctx, size, data);
  sha1_digest(&ctx, SHA1_DIGEST_SIZE, digest);
  return 0;
}

std::uint32_t nidOf(const std::string& name) {
  std::uint8_t d[SHA1_DIGEST_SIZE];
  defaultSha1Digest(reinterpret_cast<const std::uint8_t*>(name.data()),
                    static_cast<std::uint32_t>(name.size()), d);
  return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
}

}  // namespace pspos

using namespace pspos;

extern "C" int ioDirOpen(const char* path) {
  if (path == nullptr) return kErrorIllegalArgument;
  const std::string host = hostPath(path);
  Services& s = services();
  std::lock_guard lock(s.mutex);
  for (std::size_t fd = 0; fd < s.folders.size(); ++fd) {
    if (s.folders[fd] != nullptr) continue;
    DIR* d = opendir(host.c_str());
    if (d == nullptr) return kErrorFileNotFound;
    s.folders[fd] = d;
    return static_cast<int>(fd);
  }
  return kErrorTooManyOpen;
}

extern "C" int ioDirClose(int fd) {
  Services& s = services();
  std::lock_guard lock(s.mutex);
  if (fd < 0 || static_cast<std::size_t>(fd) >= s.folders.size() || s.folders[fd] == nullptr)
    return kErrorBadFile;
  closedir(s.folders[fd]);
  s.folders[fd] = nullptr;
  return 0;
}
