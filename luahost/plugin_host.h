// How the host reaches native plug-ins: it starts the loader module
// "plugbind.prx" from the plug-in folder, asks it to load a plug-in by name,
// asks it for the export slot of the plug-in's registration function, and
// calls that function with its Lua state.
#pragma once

#include <cstdint>
#include <string>

#include "plugbind/plugbind.h"

struct lua_State;

class PluginHost {
 public:
  // Loads folder/plugbind.prx and starts it with its own path as the first
  // start argument, so that it loads plug-ins from the same folder.
  // Returns false with a message when either step fails.
  bool start(const std::string& folder, std::string* error);

  // plugbind_load_plugin: the plug-in's module id, or a negative code.
  std::int32_t load_plugin(const char* name) const;

  // plugbind_find_export: the address of the word that holds the function's
  // entry address, or null.
  const std::uintptr_t* find_export(std::int32_t module_id, const char* library,
                                    const char* function) const;

  // The whole sequence for one plug-in: load it, find `function` of
  // `library`, call it with L. Returns false with a message on any failure,
  // including a registration function that returns non-zero.
  bool open_plugin(lua_State* L, const char* plugin, const char* library, const char* function,
                   std::string* error) const;

 private:
  plugbind::LoadPluginFn* load_plugin_ = nullptr;
  plugbind::FindExportFn* find_export_ = nullptr;
};

// The name the host asks plug-ins for their registration function by.
inline constexpr const char* kPluginInitName = "init";
