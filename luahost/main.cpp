// luaplayer: a Lua 5.1 host for the console modules. It offers host images
// to scripts, exports its Lua interface as library LUAPLAYER, starts the
// plug-in loader from the module folder, registers the effect plug-in's Lua
// library and runs a script.
//
//   luaplayer [--modules FOLDER] SCRIPT [ARGS...]
//
// FOLDER holds plugbind.prx and effect.lrx; by default the program's own
// folder. The script sees its arguments as arg[1], arg[2], ... and its own
// name as arg[0], as with the stand-alone interpreter.
#include <lua.hpp>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host_image.h"
#include "lua_exports.h"
#include "plugin_host.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: luaplayer [--modules FOLDER] SCRIPT [ARGS...]\n");
  return 2;
}

std::string program_folder(const char* argv0) {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : argv0;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

int traceback(lua_State* L) {
  lua_getglobal(L, "debug");
  lua_getfield(L, -1, "traceback");
  lua_pushvalue(L, 1);
  lua_pushinteger(L, 2);
  lua_call(L, 2, 1);
  return 1;
}

int run_script(lua_State* L, const char* script, int argc, char** argv) {
  lua_createtable(L, argc, 1);
  lua_pushstring(L, script);
  lua_rawseti(L, -2, 0);
  for (int i = 0; i < argc; ++i) {
    lua_pushstring(L, argv[i]);
    lua_rawseti(L, -2, i + 1);
  }
  lua_setglobal(L, "arg");

  lua_pushcfunction(L, traceback);
  if (luaL_loadfile(L, script) != 0 || lua_pcall(L, 0, 0, -2) != 0) {
    std::fprintf(stderr, "luaplayer: %s\n", lua_tostring(L, -1));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  std::string folder;
  if (argc > 2 && std::strcmp(argv[1], "--modules") == 0) {
    folder = argv[2];
    first = 3;
  }
  if (first >= argc) return usage();
  if (folder.empty()) folder = program_folder(argv[0]);

  if (const std::int32_t id = register_lua_host_module(); id < 0) {
    std::fprintf(stderr, "luaplayer: cannot register library LUAPLAYER (%d)\n", id);
    return 1;
  }
  lua_State* L = luaL_newstate();
  if (L == nullptr) {
    std::fprintf(stderr, "luaplayer: out of memory\n");
    return 1;
  }
  luaL_openlibs(L);
  open_host_images(L);

  PluginHost plugins;
  std::string error;
  int status = 1;
  if (!plugins.start(folder, &error) ||
      !plugins.open_plugin(L, "effect", "effect", kPluginInitName, &error)) {
    std::fprintf(stderr, "luaplayer: %s\n", error.c_str());
  } else {
    status = run_script(L, argv[first], argc - first - 1, argv + first + 1);
  }
  lua_close(L);
  return status;
}
