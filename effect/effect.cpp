// The effect plug-in: registers the Lua library `Effect`, whose lifeStep
// computes one Game of Life generation from one host image into another.
// Lua is reached only through the host's LUAPLAYER export library: every call
// goes through an import slot that the loader fills, so the module file has
// no Lua symbol of its own to resolve.
#include <cstdint>

#include "image.h"
#include "life_step.h"
#include "pspos/module.h"

struct lua_State;

namespace {

// The host's Lua interface, in the order of the import's NID array.
enum LuaSlot : int {
#define ZT_LUAPLAYER_IMPORT(name, nid) kSlot_##name,
#include "luaplayer_nids.inc"
#undef ZT_LUAPLAYER_IMPORT
  kLuaSlotCount
};
static_assert(kLuaSlotCount == 90, "the LUAPLAYER import lists 90 functions");

// What ZT_IMPORT_LIBRARY declares, spelled out to take the generated list.
const std::uint32_t gLua_nids[] = {
#define ZT_LUAPLAYER_IMPORT(name, nid) nid,
#include "luaplayer_nids.inc"
#undef ZT_LUAPLAYER_IMPORT
};
void* gLua[kLuaSlotCount] = {};

using lua_CFunction = int (*)(lua_State*);

// One name/function pair of a registration list, as luaL_openlib reads it.
struct LuaReg {
  const char* name;
  lua_CFunction func;
};

// The five calls this plug-in makes, each through its slot.
namespace lua {

int gettop(lua_State* L) {
  return ZT_CALL(gLua, kSlot_lua_gettop, int(lua_State*))(L);
}

void* touserdata(lua_State* L, int idx) {
  return ZT_CALL(gLua, kSlot_lua_touserdata, void*(lua_State*, int))(L, idx);
}

void openlib(lua_State* L, const char* libname, const LuaReg* list, int nup) {
  ZT_CALL(gLua, kSlot_luaL_openlib, void(lua_State*, const char*, const LuaReg*, int))
  (L, libname, list, nup);
}

// Both raise a Lua error and never return.
int error(lua_State* L, const char* message) {
  return ZT_CALL(gLua, kSlot_luaL_error, int(lua_State*, const char*, ...))(L, "%s", message);
}

int typerror(lua_State* L, int narg, const char* tname) {
  return ZT_CALL(gLua, kSlot_luaL_typerror, int(lua_State*, int, const char*))(L, narg, tname);
}

}  // namespace lua

// A host image argument: a userdata whose block begins with the address of
// its Image record. The userdata's metatable is not examined.
Image* image_argument(lua_State* L, int idx) {
  void* block = lua::touserdata(L, idx);
  Image* record = block != nullptr ? *static_cast<Image**>(block) : nullptr;
  if (record == nullptr) lua::typerror(L, idx, "Image");
  return record;
}

// Effect.lifeStep(currentImage, nextImage). Every check comes before the
// first write, so a failed call leaves nextImage as it was.
int life_step_lua(lua_State* L) {
  if (lua::gettop(L) != 2) {
    lua::error(L, "lifeStep(currentImage, nextImage) takes two arguments.");
    return 0;
  }
  Image* current = image_argument(L, 1);
  Image* next = image_argument(L, 2);
  if (current == nullptr || next == nullptr) return 0;  // not reached: the error above
  if (current->width != next->width || current->height != next->height) {
    lua::error(L, "current and next image must be of the same size.");
    return 0;
  }
  life_step(*current, *next);
  return 0;
}

const LuaReg kEffectFunctions[] = {
    {"lifeStep", life_step_lua},
    {nullptr, nullptr},
};

}  // namespace

// Registers the Lua library Effect in the caller's state; exported by NID.
extern "C" __attribute__((visibility("default"))) int effect_register(lua_State* L) {
  lua::openlib(L, "Effect", kEffectFunctions, 0);
  return 0;
}

// Nothing to set up: the module stays resident for effect_register.
extern "C" int zt_module_main(int, char**) { return 0; }

ZT_EXPORT_WORDS(kEffectWords, 0x2F8162FDu, ZT_FN(effect_register));
ZT_MODULE_EXPORTS(ZT_RUNTIME_SYSTEM_LIBRARY,
                  ZT_EXPORT_LIBRARY("effect", 0, 0x0001, 1, 0, kEffectWords));

ZT_MODULE_IMPORTS(ZT_IMPORT_ENTRY("LUAPLAYER", 0, 0x0009, gLua));

ZT_MODULE_INFO("\"EFFECT\"", 0x0000, 1, 1);
