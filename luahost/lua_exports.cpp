#include "lua_exports.h"

#include <lua.hpp>

#include <cstddef>
#include <cstring>
#include <string>

#include "pspos/kernel.h"

namespace {

struct LuaFunction {
  const char* name;
  std::uintptr_t address;
};

const LuaFunction kLuaFunctions[] = {
#define ZT_LUA_API(name) {#name, reinterpret_cast<std::uintptr_t>(&name)},
#include "lua_api.inc"
#undef ZT_LUA_API
};
constexpr std::size_t kCount = sizeof(kLuaFunctions) / sizeof(kLuaFunctions[0]);

// The NID/value array: the NIDs of every function, then their addresses.
// NIDs come from the kernel's own SHA-1, as a plug-in's were computed.
struct Tables {
  std::uintptr_t words[2 * kCount];
  pspos::ExportEntry exports[1];
  pspos::ModuleInfo info;

  Tables() {
    for (std::size_t i = 0; i < kCount; ++i) {
      words[i] = pspos::nidOf(kLuaFunctions[i].name);
      words[kCount + i] = kLuaFunctions[i].address;
    }
    exports[0] = pspos::ExportEntry{"LUAPLAYER", 0,    0x0001, pspos::kExportEntryWords,
                                    0,           kCount, words};
    info = pspos::ModuleInfo{};
    info.attributes = 0x0000;
    info.versionMajor = 1;
    info.versionMinor = 0;
    std::strncpy(info.name, "luaplayer", sizeof info.name - 1);
    info.exports = exports;
    info.exportsEnd = exports + 1;
    info.imports = nullptr;
    info.importsEnd = nullptr;
  }
};

}  // namespace

const pspos::ModuleInfo& lua_host_module_info() {
  static const Tables tables;
  return tables.info;
}

std::int32_t register_lua_host_module() {
  return pspos::registerHostModule(lua_host_module_info());
}
