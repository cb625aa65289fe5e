// The exports of plugbind.prx as a caller sees them. Callers bind them by
// NID: library "plugbind", NIDs below.
#pragma once

#include <cstdint>

namespace plugbind {

constexpr const char* kLibrary = "plugbind";
constexpr std::uint32_t kFindExportNid = 0x23C4746Au;
constexpr std::uint32_t kLoadPluginNid = 0xBFA30E77u;

// Loads and starts the plug-in `name` + ".lrx" from plugbind's own folder,
// unless a module of that name is loaded: its module id, the kernel's
// negative error code from loading, or -1 (null name, a path that does not
// fit, a start that did not succeed; such a module stays loaded).
using LoadPluginFn = std::int32_t(const char* name);

// The address of the export slot that holds the entry address of function
// `function` of library `library` in module `id`, or null.
using FindExportFn = std::uintptr_t*(std::int32_t id, const char* library, const char* function);

}  // namespace plugbind
