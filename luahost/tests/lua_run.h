// Runs Lua source in a state under pcall, for tests.
#pragma once

#include <lua.hpp>

#include <string>

// Runs code as a chunk; returns "" when it ran, otherwise the error message.
// Leaves the stack as it found it.
inline std::string run_lua(lua_State* L, const char* code) {
  int top = lua_gettop(L);
  std::string error;
  if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
    const char* message = lua_tostring(L, -1);
    error = message ? message : "(error object is not a string)";
    if (error.empty()) error = "(empty error message)";
  }
  lua_settop(L, top);
  return error;
}

// Owns a fresh state with the standard libraries.
struct LuaState {
  LuaState() : L(luaL_newstate()) { luaL_openlibs(L); }
  ~LuaState() { lua_close(L); }
  LuaState(const LuaState&) = delete;
  LuaState& operator=(const LuaState&) = delete;
  lua_State* L;
};
