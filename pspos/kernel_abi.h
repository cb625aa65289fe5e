// What module code sees of the kernel: the record of a loaded module, the
// NIDs and signatures of the kernel's exported functions, and its error
// codes. Freestanding, like module.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspos {

// The kernel's record of a loaded module. Modules read it and never write
// it. In the 32-bit build the module id sits at byte 44, the export table's
// address at byte 64 and its length in bytes at byte 68.
struct KernelModuleRecord {
  KernelModuleRecord* next;
  std::uint16_t attributes;
  std::uint8_t versionMajor;
  std::uint8_t versionMinor;
  char name[28];
  std::uint32_t status;
  std::uint32_t reserved0;
  std::int32_t id;
  std::uint32_t reserved1[4];
  const void* exportTable;
  std::int32_t exportTableSize;  // bytes
  const void* importTable;
  std::int32_t importTableSize;  // bytes
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(KernelModuleRecord, id) == 44);
static_assert(offsetof(KernelModuleRecord, exportTable) == 64);
static_assert(offsetof(KernelModuleRecord, exportTableSize) == 68);
#endif

// Error codes: negative 32-bit values. File errors carry the C library's
// error number in the low bits, the kernel's own errors have a 0x8002xxxx
// code of their own.
enum KernelError : std::int32_t {
  kErrorFileNotFound = static_cast<std::int32_t>(0x80010002u),   // no such file or folder
  kErrorBadFile = static_cast<std::int32_t>(0x80010009u),        // no such open descriptor
  kErrorTooManyOpen = static_cast<std::int32_t>(0x80010018u),    // descriptor table full
  kErrorIllegalArgument = static_cast<std::int32_t>(0x80020101u),
  kErrorBadModuleFile = static_cast<std::int32_t>(0x80020102u),  // not a module, or no module info
  kErrorLibraryNotFound = static_cast<std::int32_t>(0x80020103u),  // an import no module exports
  kErrorUnknownModule = static_cast<std::int32_t>(0x80020104u),  // no module has that id
  kErrorAlreadyStarted = static_cast<std::int32_t>(0x80020105u),
  kErrorStartFailed = static_cast<std::int32_t>(0x80020106u),    // the start entry returned non-zero
};

// Library names and NIDs of the kernel's exports: the NID rule applied to
// each function's name.
namespace nid {
constexpr std::uint32_t kFindModuleByName = 0xCF8A41B1u;  // sceKernelFindModuleByName
constexpr std::uint32_t kFindModuleByUid = 0xCCE4A157u;   // sceKernelFindModuleByUID
constexpr std::uint32_t kLoadModule = 0x977DE386u;        // sceKernelLoadModule
constexpr std::uint32_t kStartModule = 0x50F0C1ECu;       // sceKernelStartModule
constexpr std::uint32_t kSha1Digest = 0x840259F1u;        // sceKernelUtilsSha1Digest
constexpr std::uint32_t kDirOpen = 0x4C4C7BC7u;           // ioDirOpen
constexpr std::uint32_t kDirClose = 0x98519851u;          // ioDirClose
}  // namespace nid

// Signatures of the kernel's exports, as module code calls them.
using FindModuleByNameFn = KernelModuleRecord*(const char* name);
using FindModuleByUidFn = KernelModuleRecord*(std::int32_t id);
using LoadModuleFn = std::int32_t(const char* path, std::int32_t flags, void* options);
using StartModuleFn = std::int32_t(std::int32_t id, std::uint32_t argSize, void* argBlock,
                                   std::int32_t* status, void* options);
using Sha1DigestFn = std::int32_t(const std::uint8_t* data, std::uint32_t size,
                                  std::uint8_t* digest);

}  // namespace pspos
