// The module registry and the loader: module files are opened with the
// host's dynamic loader, their imports resolved by library name and NID.
#include "kernel.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "kernel_services.h"

namespace pspos {
namespace {

constexpr std::uint16_t kKernelMode = 0x1000;
constexpr std::uint16_t kUserCallable = 0x4000;

struct Module {
  KernelModuleRecord record{};
  const ModuleInfo* info = nullptr;
  void* handle = nullptr;  // null for modules of the host program
  bool started = false;
};

// Walks a table of entries whose length in 32-bit words each one states. An
// entry of length 0 ends the walk.
template <typename Entry, typename Visit>
void walk(const Entry* begin, const Entry* end, Visit visit) {
  const auto* p = reinterpret_cast<const unsigned char*>(begin);
  const auto* stop = reinterpret_cast<const unsigned char*>(end);
  while (p != nullptr && p < stop) {
    const auto* entry = reinterpret_cast<const Entry*>(p);
    if (entry->length == 0 || visit(*entry)) return;
    p += entry->length * 4u;
  }
}

std::int32_t byteSize(const void* begin, const void* end) {
  return static_cast<std::int32_t>(static_cast<const unsigned char*>(end) -
                                   static_cast<const unsigned char*>(begin));
}

// The value word of the entry's function with that NID, or null.
const std::uintptr_t* functionValue(const ExportEntry& e, std::uint32_t nid) {
  for (std::size_t j = 0; j < e.functionCount; ++j)
    if (e.words[j] == nid) return &e.words[e.functionCount + e.variableCount + j];
  return nullptr;
}

class Registry {
 public:
  Registry() { addKernel(); }

  std::recursive_mutex mutex;
  KernelHooks hooks;

  std::int32_t add(const ModuleInfo& info, void* handle, bool started) {
    if (std::int32_t error = resolveImports(info); error < 0) return error;
    auto m = std::make_unique<Module>();
    KernelModuleRecord& r = m->record;
    r.attributes = info.attributes;
    r.versionMajor = info.versionMajor;
    r.versionMinor = info.versionMinor;
    std::memcpy(r.name, info.name, sizeof r.name - 1);
    r.id = nextId_++;
    r.exportTable = info.exports;
    r.exportTableSize = byteSize(info.exports, info.exportsEnd);
    r.importTable = info.imports;
    r.importTableSize = byteSize(info.imports, info.importsEnd);
    m->info = &info;
    m->handle = handle;
    m->started = started;
    if (!modules_.empty()) modules_.back()->record.next = &r;
    modules_.push_back(std::move(m));
    return r.id;
  }

  Module* byId(std::int32_t id) {
    for (auto& m : modules_) {
      if (m->record.id == id) return m.get();
    }
    return nullptr;
  }

  Module* byName(const char* name) {
    for (auto& m : modules_) {
      if (std::strcmp(m->record.name, name) == 0) return m.get();
    }
    return nullptr;
  }

  void reset() {
    for (auto& m : modules_) {
      if (m->handle != nullptr) dlclose(m->handle);
    }
    modules_.clear();
    nextId_ = 0;
    hooks = {};
    resetServices();
    addKernel();
  }

 private:
  void addKernel() { add(kernelModuleInfo(), nullptr, true); }

  // The export entry of library `name` that a module of mode `importer` may
  // call, or null.
  const ExportEntry* findLibrary(const char* name, std::uint16_t importer) {
    const ExportEntry* found = nullptr;
    for (auto& m : modules_) {
      const bool kernelOnly = (m->info->attributes & kKernelMode) != 0;
      walk(m->info->exports, m->info->exportsEnd, [&](const ExportEntry& e) {
        if (e.name == nullptr || std::strcmp(e.name, name) != 0) return false;
        if ((importer & kKernelMode) == 0 && kernelOnly && (e.attributes & kUserCallable) == 0)
          return false;
        found = &e;
        return true;
      });
      if (found != nullptr) return found;
    }
    return nullptr;
  }

  // Fills every import slot; a NID that the library lacks leaves its slot
  // null, a library that no module exports fails the whole module.
  std::int32_t resolveImports(const ModuleInfo& info) {
    std::int32_t error = 0;
    walk(info.imports, info.importsEnd, [&](const ImportEntry& imp) {
      const ExportEntry* lib = imp.name ? findLibrary(imp.name, info.attributes) : nullptr;
      if (lib == nullptr) {
        error = kErrorLibraryNotFound;
        return true;
      }
      for (std::size_t i = 0; i < imp.functionCount; ++i) {
        const std::uintptr_t* value = functionValue(*lib, imp.nids[i]);
        imp.slots[i] = value != nullptr ? reinterpret_cast<void*>(*value) : nullptr;
      }
      return false;
    });
    return error;
  }

  std::vector<std::unique_ptr<Module>> modules_;
  std::int32_t nextId_ = 0;
};

Registry& registry() {
  static Registry r;
  return r;
}

StartEntry* startEntryOf(const ModuleInfo& info) {
  StartEntry* start = nullptr;
  walk(info.exports, info.exportsEnd, [&](const ExportEntry& e) {
    if (e.name != nullptr) return false;
    const std::uintptr_t* value = functionValue(e, kModuleStartNid);
    if (value != nullptr) start = reinterpret_cast<StartEntry*>(*value);
    return value != nullptr;
  });
  return start;
}

}  // namespace

std::int32_t defaultLoadModule(const char* path, std::int32_t /*flags*/, void* /*options*/) {
  if (path == nullptr) return kErrorIllegalArgument;
  const std::string host = hostPath(path);
  struct stat st{};
  if (stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return kErrorFileNotFound;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  void* handle = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return kErrorBadModuleFile;
  const auto* info = static_cast<const ModuleInfo*>(dlsym(handle, ZT_MODULE_INFO_SYMBOL));
  const std::int32_t id = info ? r.add(*info, handle, false) : kErrorBadModuleFile;
  if (id < 0) dlclose(handle);
  return id;
}

std::int32_t defaultStartModule(std::int32_t id, std::uint32_t argSize, void* argBlock,
                                std::int32_t* status, void* /*options*/) {
  if (argSize > 0 && argBlock == nullptr) return kErrorIllegalArgument;
  Registry& r = registry();
  StartEntry* start = nullptr;
  {
    std::lock_guard lock(r.mutex);
    Module* m = r.byId(id);
    if (m == nullptr) return kErrorUnknownModule;
    if (m->started) return kErrorAlreadyStarted;
    m->started = true;
    start = startEntryOf(*m->info);
  }
  // The module gets its own copy of the block, as a fresh start thread would.
  std::vector<char> args(static_cast<const char*>(argBlock),
                         static_cast<const char*>(argBlock) + argSize);
  const int result = start ? start(argSize, args.empty() ? nullptr : args.data()) : 0;
  if (status != nullptr) *status = result;
  return result == 0 ? id : kErrorStartFailed;
}

std::int32_t registerHostModule(const ModuleInfo& info) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.add(info, nullptr, true);
}

void* findFunction(std::int32_t id, const char* library, std::uint32_t nid) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  Module* m = r.byId(id);
  if (m == nullptr || library == nullptr) return nullptr;
  void* found = nullptr;
  walk(m->info->exports, m->info->exportsEnd, [&](const ExportEntry& e) {
    if (e.name == nullptr || std::strcmp(e.name, library) != 0) return false;
    const std::uintptr_t* value = functionValue(e, nid);
    if (value != nullptr) found = reinterpret_cast<void*>(*value);
    return value != nullptr;
  });
  return found;
}

void setHooks(KernelHooks hooks) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.hooks = std::move(hooks);
}

void reset() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.reset();
}

}  // namespace pspos

using namespace pspos;

extern "C" KernelModuleRecord* sceKernelFindModuleByName(const char* name) {
  if (name == nullptr) return nullptr;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  Module* m = r.byName(name);
  return m ? &m->record : nullptr;
}

extern "C" KernelModuleRecord* sceKernelFindModuleByUID(std::int32_t id) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  Module* m = r.byId(id);
  return m ? &m->record : nullptr;
}

extern "C" std::int32_t sceKernelLoadModule(const char* path, std::int32_t flags, void* options) {
  Registry& r = registry();
  decltype(r.hooks.loadModule) hook;
  {
    std::lock_guard lock(r.mutex);
    hook = r.hooks.loadModule;
  }
  return hook ? hook(path, flags, options) : defaultLoadModule(path, flags, options);
}

extern "C" std::int32_t sceKernelStartModule(std::int32_t id, std::uint32_t argSize,
                                             void* argBlock, std::int32_t* status,
                                             void* options) {
  Registry& r = registry();
  decltype(r.hooks.startModule) hook;
  {
    std::lock_guard lock(r.mutex);
    hook = r.hooks.startModule;
  }
  return hook ? hook(id, argSize, argBlock, status, options)
              : defaultStartModule(id, argSize, argBlock, status, options);
}

extern "C" std::int32_t sceKernelUtilsSha1Digest(const std::uint8_t* data, std::uint32_t size,
                                                 std::uint8_t* digest) {
  Registry& r = registry();
  decltype(r.hooks.sha1Digest) hook;
  {
    std::lock_guard lock(r.mutex);
    hook = r.hooks.sha1Digest;
  }
  return hook ? hook(data, size, digest) : defaultSha1Digest(data, size, digest);
}
