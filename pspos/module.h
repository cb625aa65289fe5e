// The module format: what a module file carries about itself, and how a
// module's source declares it. Freestanding: module code includes this.
//
// A module is a shared object that defines one symbol, zt_module_info. The
// kernel (pspos/kernel.cpp) finds it after loading the file, fills the call
// slots of every import entry from the exports of the modules already loaded,
// and starts the module through the unnamed system library's start entry.
//
// A module source declares, in this order:
//
//   extern "C" int zt_module_main(int argc, char** argv) { return 0; }
//
//   ZT_EXPORT_WORDS(kEffectWords,                 // NIDs first, then values
//       0x2F8162FDu, ZT_FN(effect_register));
//   ZT_MODULE_EXPORTS(
//       ZT_RUNTIME_SYSTEM_LIBRARY,                 // module_start: the run-time
//       ZT_EXPORT_LIBRARY("effect", 0, 0x0001, 1, 0, kEffectWords));
//
//   ZT_IMPORT_LIBRARY(gLua, 0x6E09657Fu, 0xF175D041u);  // NIDs; slots follow
//   ZT_MODULE_IMPORTS(
//       ZT_IMPORT_ENTRY("LUAPLAYER", 0, 0x0009, gLua));
//
//   ZT_MODULE_INFO("\"EFFECT\"", 0x0000, 1, 1);
//
// Calling an import: slot i of gLua holds the address of the function whose
// NID is element i of the list, so `ZT_CALL(gLua, 1, int(lua_State*))(L)`
// calls lua_gettop. A NID that no loaded module exports leaves its slot null.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pspos {

// One library a module exports. In the 32-bit build the fields sit at bytes
// 0, 4, 6, 8, 9, 10 and 12, as the kernel's export walk reads them. `words`
// holds functionCount + variableCount NIDs (functions first), then as many
// values in the same order: the entry address of each function and the
// address of each variable. Words are pointer-sized so that a value can hold
// an address in the 64-bit native build too.
struct ExportEntry {
  const char* name;             // null for the unnamed system library
  std::uint16_t version;
  std::uint16_t attributes;
  std::uint8_t length;          // entry length in 32-bit words
  std::uint8_t variableCount;
  std::uint16_t functionCount;
  const std::uintptr_t* words;
};

// One library a module imports. The kernel writes the address of the
// function with nids[i] into slots[i] when it loads the module.
struct ImportEntry {
  const char* name;
  std::uint16_t version;
  std::uint16_t attributes;
  std::uint8_t length;          // entry length in 32-bit words
  std::uint8_t variableCount;
  std::uint16_t functionCount;
  const std::uint32_t* nids;
  void** slots;
};

constexpr std::size_t kModuleNameSize = 28;

// The module-information record: identity and the bounds of both tables.
struct ModuleInfo {
  std::uint16_t attributes;     // 0x1000 kernel mode, 0x0000 user mode
  std::uint8_t versionMajor;
  std::uint8_t versionMinor;
  char name[kModuleNameSize];   // NUL-terminated
  const ExportEntry* exports;
  const ExportEntry* exportsEnd;
  const ImportEntry* imports;
  const ImportEntry* importsEnd;
};

constexpr std::uint8_t kExportEntryWords = sizeof(ExportEntry) / 4;
constexpr std::uint8_t kImportEntryWords = sizeof(ImportEntry) / 4;

// Attributes of the unnamed system library and NID of its start entry.
constexpr std::uint16_t kSystemLibraryAttributes = 0x8000;
constexpr std::uint32_t kModuleStartNid = 0xD632ACDBu;

// The signature of a start entry: the argument block and its size in bytes.
// It returns 0 when the module stays resident.
using StartEntry = int(std::uint32_t argSize, void* argBlock);

// An import slot as a function of type F.
template <typename F>
inline F* importFn(void* slot) {
  return reinterpret_cast<F*>(slot);
}

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ExportEntry) == 16);
static_assert(offsetof(ExportEntry, version) == 4);
static_assert(offsetof(ExportEntry, attributes) == 6);
static_assert(offsetof(ExportEntry, length) == 8);
static_assert(offsetof(ExportEntry, variableCount) == 9);
static_assert(offsetof(ExportEntry, functionCount) == 10);
static_assert(offsetof(ExportEntry, words) == 12);
#endif

}  // namespace pspos

// The name of the symbol the kernel looks up in a loaded module file.
#define ZT_MODULE_INFO_SYMBOL "zt_module_info"

// A function's entry address as an export value.
#define ZT_FN(fn) reinterpret_cast<std::uintptr_t>(&(fn))

// The NID/value array of one exported library.
#define ZT_EXPORT_WORDS(var, ...) \
  static const std::uintptr_t var[] = {__VA_ARGS__}

// An export entry for the module's export table. It fails to compile unless
// the array holds a NID and a value for every function and variable.
#define ZT_EXPORT_LIBRARY(name, version, attributes, functions, variables, words)     \
  ::pspos::ExportEntry {                                                               \
    (name), (version), (attributes), ::pspos::kExportEntryWords, (variables),        \
        (functions), ((void)sizeof(char[sizeof(words) == 2 * ((functions) + (variables)) * \
                                              sizeof(std::uintptr_t) ? 1 : -1]),      \
                      (words))                                                        \
  }

// The unnamed system library whose one function is the start entry.
#define ZT_SYSTEM_LIBRARY(words) \
  ZT_EXPORT_LIBRARY(nullptr, 0, ::pspos::kSystemLibraryAttributes, 1, 0, words)

#define ZT_MODULE_EXPORTS(...) \
  static const ::pspos::ExportEntry zt_module_exports[] = {__VA_ARGS__}

// The NIDs of one imported library and as many call slots.
#define ZT_IMPORT_LIBRARY(var, ...)                                \
  static const std::uint32_t var##_nids[] = {__VA_ARGS__};         \
  static void* var[sizeof(var##_nids) / sizeof(std::uint32_t)] = {}

#define ZT_IMPORT_ENTRY(name, version, attributes, var)                                \
  ::pspos::ImportEntry {                                                               \
    (name), (version), (attributes), ::pspos::kImportEntryWords, 0,                    \
        static_cast<std::uint16_t>(sizeof(var##_nids) / sizeof(std::uint32_t)), var##_nids, var \
  }

// The import table always starts with the run-time's own imports.
#define ZT_MODULE_IMPORTS(...)                                          \
  static const ::pspos::ImportEntry zt_module_imports[] = {             \
      ZT_RUNTIME_IMPORTS __VA_OPT__(, ) __VA_ARGS__}

#define ZT_MODULE_INFO(name, attributes, major, minor)                                  \
  extern "C" __attribute__((visibility("default"), used)) const ::pspos::ModuleInfo      \
      zt_module_info = {(attributes), (major), (minor), name, zt_module_exports,        \
                        zt_module_exports + sizeof(zt_module_exports) / sizeof(::pspos::ExportEntry), \
                        zt_module_imports,                                               \
                        zt_module_imports + sizeof(zt_module_imports) / sizeof(::pspos::ImportEntry)}

// Calls import slot `index` of library `var` as a function of type `sig`.
#define ZT_CALL(var, index, sig) (::pspos::importFn<sig>((var)[(index)]))

#include "runtime/runtime.h"
