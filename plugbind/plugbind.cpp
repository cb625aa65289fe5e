// plugbind: loads plug-ins (".lrx" modules) by name from the folder this
// module was started from, and finds the functions a loaded module exports
// by library name and function name.
#include "plugbind.h"
#include "pspos/kernel_abi.h"
#include "pspos/module.h"

namespace {

using pspos::ExportEntry;
using pspos::KernelModuleRecord;

constexpr std::size_t kFolderSize = 256;
constexpr std::size_t kPathSize = 260;
constexpr char kExtension[] = ".lrx";

// Written once by the start entry, read by every load.
char gPluginFolder[kFolderSize] = {};

ZT_IMPORT_LIBRARY(gLoadCore, pspos::nid::kFindModuleByName, pspos::nid::kFindModuleByUid);
ZT_IMPORT_LIBRARY(gModuleMgr, pspos::nid::kLoadModule, pspos::nid::kStartModule);
ZT_IMPORT_LIBRARY(gUtils, pspos::nid::kSha1Digest);

// Length of `s`, looking at no more than `max` characters: `max` when the
// string is at least that long.
std::size_t boundedLength(const char* s, std::size_t max) {
  std::size_t n = 0;
  while (n < max && s[n] != '\0') ++n;
  return n;
}

void append(char* out, std::size_t& pos, const char* s, std::size_t n) {
  memcpy(out + pos, s, n);
  pos += n;
}

std::int32_t plugbind_load_plugin(const char* name) {
  if (name == nullptr) return -1;
  if (KernelModuleRecord* loaded = ZT_CALL(gLoadCore, 0, pspos::FindModuleByNameFn)(name))
    return loaded->id;

  // folder + "/" + name + ".lrx" + NUL must fit; a longer name is refused.
  char path[kPathSize];
  const std::size_t folder = strlen(gPluginFolder);
  const std::size_t fixed = folder + 1 + (sizeof kExtension - 1) + 1;
  if (fixed >= kPathSize) return -1;  // not even a one-character name fits
  const std::size_t room = kPathSize - fixed;
  const std::size_t length = boundedLength(name, room + 1);
  if (length > room) return -1;
  std::size_t pos = 0;
  append(path, pos, gPluginFolder, folder);
  append(path, pos, "/", 1);
  append(path, pos, name, length);
  append(path, pos, kExtension, sizeof kExtension);  // with its NUL

  const std::int32_t id = ZT_CALL(gModuleMgr, 0, pspos::LoadModuleFn)(path, 0, nullptr);
  if (id < 0) return id;
  // The plug-in's argument block is its own path, so that its run-time
  // takes the plug-in's folder as its working directory.
  std::int32_t status = 0;
  const std::int32_t started = ZT_CALL(gModuleMgr, 1, pspos::StartModuleFn)(
      id, static_cast<std::uint32_t>(pos), path, &status, nullptr);
  return started == id ? id : -1;
}

std::uintptr_t* plugbind_find_export(std::int32_t id, const char* library, const char* function) {
  if (library == nullptr || function == nullptr) return nullptr;
  std::uint8_t digest[20];
  if (ZT_CALL(gUtils, 0, pspos::Sha1DigestFn)(reinterpret_cast<const std::uint8_t*>(function),
                                              static_cast<std::uint32_t>(strlen(function)),
                                              digest) < 0)
    return nullptr;
  const std::uint32_t nid = digest[0] | digest[1] << 8 | digest[2] << 16 |
                            static_cast<std::uint32_t>(digest[3]) << 24;

  const KernelModuleRecord* module = ZT_CALL(gLoadCore, 1, pspos::FindModuleByUidFn)(id);
  if (module == nullptr) return nullptr;
  const auto* table = static_cast<const unsigned char*>(module->exportTable);
  // The length is signed: 0 or less means no entries.
  for (std::int32_t offset = 0; offset < module->exportTableSize;) {
    const auto* entry = reinterpret_cast<const ExportEntry*>(table + offset);
    if (entry->name != nullptr && strcmp(entry->name, library) == 0) {
      // Only the first entry of that name is searched, and only its functions.
      const std::size_t values = entry->functionCount + entry->variableCount;
      for (std::size_t i = 0; i < entry->functionCount; ++i) {
        if (entry->words[i] == nid) return const_cast<std::uintptr_t*>(&entry->words[values + i]);
      }
      return nullptr;
    }
    if (entry->length == 0) return nullptr;  // would never advance
    offset += entry->length * 4;
  }
  return nullptr;
}

}  // namespace

extern "C" int zt_module_main(int, char**) {
  const char* cwd = zt_runtime_cwd();
  const std::size_t n = boundedLength(cwd, kFolderSize);
  if (n < kFolderSize) memcpy(gPluginFolder, cwd, n + 1);
  return 0;
}

ZT_EXPORT_WORDS(kPlugbindWords, plugbind::kFindExportNid, plugbind::kLoadPluginNid,
                ZT_FN(plugbind_find_export), ZT_FN(plugbind_load_plugin));
ZT_MODULE_EXPORTS(ZT_RUNTIME_SYSTEM_LIBRARY,
                  ZT_EXPORT_LIBRARY("plugbind", 0, 0x4001, 2, 0, kPlugbindWords));

ZT_MODULE_IMPORTS(ZT_IMPORT_ENTRY("LoadCoreForKernel", 0, 0x0009, gLoadCore),
                  ZT_IMPORT_ENTRY("ModuleMgrForUser", 0, 0x0009, gModuleMgr),
                  ZT_IMPORT_ENTRY("UtilsForUser", 0, 0x0009, gUtils));

ZT_MODULE_INFO("PLUGBIND", 0x1000, 1, 1);
