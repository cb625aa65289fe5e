// The host layer of the console's OS: a module registry over the host's
// dynamic loader. Module files are shared objects that carry a
// module-information record (module.h); loading one resolves its imports
// against the exports of the modules loaded before it. The kernel's own
// functions are exported by the built-in module "kernel", registered first:
//
//   LoadCoreForKernel  sceKernelFindModuleByName, sceKernelFindModuleByUID
//                      (kernel-mode modules only)
//   ModuleMgrForUser   sceKernelLoadModule, sceKernelStartModule
//   UtilsForUser       sceKernelUtilsSha1Digest
//   IoForUser          ioDirOpen, ioDirClose
//
// A user-mode module (attributes without 0x1000) sees a library of a
// kernel-mode module only when the library's attributes hold 0x4000.
//
// Loading the same file twice gives two module ids over one mapped image:
// the host's loader maps a file once, so both share the file's data.
//
// Module ids are 0 or more; failures are the negative codes of kernel_abi.h.
// All functions may be called from several threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kernel_abi.h"
#include "module.h"

extern "C" {
// The record of a loaded module whose module name equals `name`, or null.
pspos::KernelModuleRecord* sceKernelFindModuleByName(const char* name);
// The record of the loaded module with id `id`, or null.
pspos::KernelModuleRecord* sceKernelFindModuleByUID(std::int32_t id);
// Loads a module file and resolves its imports: its module id, or
// kErrorFileNotFound, kErrorBadModuleFile, kErrorLibraryNotFound.
// Flags and options are accepted and ignored.
std::int32_t sceKernelLoadModule(const char* path, std::int32_t flags, void* options);
// Runs the start entry of a loaded module with a copy of the argument block
// and stores its result in *status (when given): the module id when the
// entry returned 0, else kErrorStartFailed; kErrorUnknownModule,
// kErrorAlreadyStarted, kErrorIllegalArgument for a size without a block.
// A module without a start entry starts at once.
std::int32_t sceKernelStartModule(std::int32_t id, std::uint32_t argSize, void* argBlock,
                                  std::int32_t* status, void* options);
// SHA-1 of `size` bytes into the 20-byte `digest`: 0, or
// kErrorIllegalArgument for a null digest or null data of non-zero size.
std::int32_t sceKernelUtilsSha1Digest(const std::uint8_t* data, std::uint32_t size,
                                      std::uint8_t* digest);
// Opens a folder: a descriptor (0 or more), or kErrorFileNotFound when the
// path names no folder, kErrorTooManyOpen.
int ioDirOpen(const char* path);
// Closes a descriptor of ioDirOpen: 0, or kErrorBadFile.
int ioDirClose(int fd);
}

namespace pspos {

// Registers a module that lives in the host program, such as the Lua host,
// whose exports other modules may import. Its import slots are resolved like
// a loaded module's. Returns its id, or a negative error code. The record
// and its tables must outlive the registration (static storage serves):
//
//   ZT_EXPORT_WORDS(kWords, 0xF175D041u, ZT_FN(lua_gettop));
//   static const ExportEntry kExports[] = {
//       ZT_EXPORT_LIBRARY("LUAPLAYER", 0, 0x0001, 1, 0, kWords)};
//   static const ModuleInfo kInfo = {0x0000, 1, 0, "luaplayer",
//                                    kExports, kExports + 1, nullptr, nullptr};
//   registerHostModule(kInfo);
std::int32_t registerHostModule(const ModuleInfo& info);

// The entry address of the function with NID `nid` in library `library` of
// loaded module `id`, or null: how a host program calls a module it loaded.
void* findFunction(std::int32_t id, const char* library, std::uint32_t nid);

// Maps paths that start with a device prefix such as "ms0:" to a host
// folder: "ms0:/PSP/x.prx" becomes hostFolder + "/PSP/x.prx". Paths without
// a mapped device are host paths as they stand.
void mapDevice(const std::string& device, const std::string& hostFolder);

// Test seams: each replaces one kernel operation; a hook may forward to the
// default below. An empty function restores the default.
struct KernelHooks {
  std::function<std::int32_t(const char* path, std::int32_t flags, void* options)> loadModule;
  std::function<std::int32_t(std::int32_t id, std::uint32_t argSize, void* argBlock,
                             std::int32_t* status, void* options)>
      startModule;
  std::function<std::int32_t(const std::uint8_t* data, std::uint32_t size, std::uint8_t* digest)>
      sha1Digest;
};
void setHooks(KernelHooks hooks);

std::int32_t defaultLoadModule(const char* path, std::int32_t flags, void* options);
std::int32_t defaultStartModule(std::int32_t id, std::uint32_t argSize, void* argBlock,
                                std::int32_t* status, void* options);
std::int32_t defaultSha1Digest(const std::uint8_t* data, std::uint32_t size,
                               std::uint8_t* digest);

// Forgets every module, device mapping and hook, closes the loaded files
// (so a later load starts them afresh) and registers the kernel module
// again. For tests.
void reset();

// The NID of a name: the first four bytes of its SHA-1 digest, little-endian.
std::uint32_t nidOf(const std::string& name);

}  // namespace pspos
