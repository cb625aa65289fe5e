// The host's Lua 5.1 interface as a console library: module "luaplayer"
// exports library LUAPLAYER, every function of lua.h and lauxlib.h under the
// NID of its name, so that plug-ins import Lua from the host by NID.
#pragma once

#include <cstdint>

#include "pspos/module.h"

// The host module's information: its LUAPLAYER export table.
const pspos::ModuleInfo& lua_host_module_info();

// Registers the host module with the kernel. Returns its module id, or the
// kernel's negative error code. Call once per kernel start (or reset).
std::int32_t register_lua_host_module();
