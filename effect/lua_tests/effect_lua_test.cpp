// The effect module as Lua scripts see it, through real Lua 5.1: the module
// file is loaded by the kernel against the host's LUAPLAYER exports, and
// its registration function is called with a fresh state for every test.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host_image.h"
#include "life_step.h"
#include "lua_exports.h"
#include "lua_run.h"
#include "pspos/kernel.h"

namespace {

using RegisterFn = int(lua_State*);
constexpr std::uint32_t kRegisterNid = 0x2F8162FDu;
const char kCountError[] = "lifeStep(currentImage, nextImage) takes two arguments.";
const char kSizeError[] = "current and next image must be of the same size.";

// rawImage([lightuserdata]): a userdata of no particular kind whose block
// begins with the given address, null when none is given.
int raw_image(lua_State* L) {
  void* record = lua_touserdata(L, 1);
  *static_cast<void**>(lua_newuserdata(L, sizeof(void*))) = record;
  return 1;
}

class EffectLuaTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pspos::reset();
    ASSERT_GE(register_lua_host_module(), 0);
    module_id = sceKernelLoadModule(ZT_EFFECT_LRX, 0, nullptr);
    ASSERT_GE(module_id, 0);
    std::vector<char> args(ZT_EFFECT_LRX, ZT_EFFECT_LRX + sizeof ZT_EFFECT_LRX);
    ASSERT_EQ(sceKernelStartModule(module_id, static_cast<std::uint32_t>(args.size()),
                                   args.data(), nullptr, nullptr),
              module_id);
    effect_register =
        reinterpret_cast<RegisterFn*>(pspos::findFunction(module_id, "effect", kRegisterNid));
  }
  static void TearDownTestSuite() { pspos::reset(); }

  void SetUp() override {
    ASSERT_NE(effect_register, nullptr);
    open_host_images(lua.L);
    ASSERT_EQ(effect_register(lua.L), 0);
    lua_register(lua.L, "rawImage", raw_image);
  }

  std::string run(const std::string& code) { return run_lua(lua.L, code.c_str()); }

  // The pixels of every row of the image in global `name`, padding included.
  std::vector<std::uint32_t> pixels_of(const char* name) {
    lua_getglobal(lua.L, name);
    const Image* image = to_host_image(lua.L, -1);
    lua_pop(lua.L, 1);
    if (image == nullptr) return {};
    return {image->pixels, image->pixels + image->stride * image->height};
  }

  const Image* image_of(const char* name) {
    lua_getglobal(lua.L, name);
    const Image* image = to_host_image(lua.L, -1);
    lua_pop(lua.L, 1);
    return image;
  }

  static inline std::int32_t module_id = -1;
  static inline RegisterFn* effect_register = nullptr;
  LuaState lua;
};

TEST_F(EffectLuaTest, RegistersTheEffectTable) {
  EXPECT_EQ(run("assert(type(Effect) == 'table')\n"
                "assert(type(Effect.lifeStep) == 'function')\n"
                "local n = 0 for _ in pairs(Effect) do n = n + 1 end\n"
                "assert(n == 1, 'Effect holds ' .. n .. ' fields')"),
            "");
}

// Each failing call raises its message, and leaves every image as it was:
// the checks come before the first write. Calls go through a field of
// Effect, so the bad-argument messages name 'lifeStep'.
TEST_F(EffectLuaTest, MistakenCallsRaiseTheirErrorAndWriteNothing) {
  // a holds a blinker, so a step that ran would change b.
  ASSERT_EQ(run("a = Image.create(8, 6)\n"
                "for x = 2, 4 do a:setPixel(x, 3, 0xFF00FF00) end\n"
                "b = Image.create(8, 6) b:fill(0x01020304)\n"
                "taller = Image.create(8, 7) taller:fill(0x05060708)\n"
                "wider = Image.create(9, 6) wider:fill(0x090A0B0C)\n"
                "null = rawImage()"),
            "");
  struct Case {
    const char* call;
    std::string message;
  };
  auto bad = [](int n, const char* got) {
    return "bad argument #" + std::to_string(n) + " to 'lifeStep' (Image expected, got " + got +
           ")";
  };
  const Case cases[] = {
      {"Effect.lifeStep()", kCountError},
      {"Effect.lifeStep(a)", kCountError},
      {"Effect.lifeStep(1)", kCountError},
      {"Effect.lifeStep(a, b, a)", kCountError},
      {"Effect.lifeStep(1, 2, 3)", kCountError},
      {"Effect.lifeStep(a, b, nil)", kCountError},
      {"Effect.lifeStep(1, b)", bad(1, "number")},
      {"Effect.lifeStep('a', b)", bad(1, "string")},
      {"Effect.lifeStep(1, 'b')", bad(1, "number")},
      {"Effect.lifeStep('a', nil)", bad(1, "string")},
      {"Effect.lifeStep(null, b)", bad(1, "userdata")},
      {"Effect.lifeStep(null, null)", bad(1, "userdata")},
      {"Effect.lifeStep(a, 2)", bad(2, "number")},
      {"Effect.lifeStep(a, 'b')", bad(2, "string")},
      {"Effect.lifeStep(a, {})", bad(2, "table")},
      {"Effect.lifeStep(a, nil)", bad(2, "nil")},
      {"Effect.lifeStep(a, null)", bad(2, "userdata")},
      {"Effect.lifeStep(a, taller)", kSizeError},
      {"Effect.lifeStep(taller, b)", kSizeError},
      {"Effect.lifeStep(a, wider)", kSizeError},
  };
  const char* images[] = {"a", "b", "taller", "wider"};
  std::vector<std::vector<std::uint32_t>> before;
  for (const char* name : images) before.push_back(pixels_of(name));
  for (const Case& c : cases) {
    // luaL_error puts where the script made the call in front.
    EXPECT_EQ(run(c.call), "[string \"" + std::string(c.call) + "\"]:1: " + c.message);
    for (std::size_t i = 0; i < std::size(images); ++i) {
      EXPECT_EQ(pixels_of(images[i]), before[i]) << c.call << " changed " << images[i];
    }
  }
}

// A successful call passes argument 1 as the current image and argument 2
// as the next, each with its own stride, and returns nothing.
TEST_F(EffectLuaTest, StepsFromTheFirstImageIntoTheSecondAndReturnsNothing) {
  ASSERT_EQ(run("a = Image.create(7, 6, 9)\n"
                "for x = 2, 4 do a:setPixel(x, 2, 0xFF00FF00) end\n"
                "a:setPixel(3, 3, 0xFF00FF00)\n"
                "b = Image.create(7, 6, 13) b:fill(0x01020304)"),
            "");
  const std::vector<std::uint32_t> a_before = pixels_of("a");
  std::vector<std::uint32_t> want = pixels_of("b");
  Image expected = *image_of("b");
  expected.pixels = want.data();
  life_step(*image_of("a"), expected);

  EXPECT_EQ(run("results = select('#', Effect.lifeStep(a, b))"), "");
  lua_getglobal(lua.L, "results");
  EXPECT_EQ(lua_tointeger(lua.L, -1), 0) << "lifeStep returned values";
  lua_pop(lua.L, 1);
  EXPECT_EQ(pixels_of("a"), a_before) << "the current image was written";
  EXPECT_EQ(pixels_of("b"), want);
  EXPECT_NE(want, pixels_of("a")) << "the step should have changed something";
}

// Any userdata whose block begins with an Image record's address is an
// image; the same image twice is accepted and updated in place.
TEST_F(EffectLuaTest, AcceptsAnyUserdataThatPointsAtARecordAndTheSameImageTwice) {
  // A blinker across the top-left corner: computed in place, cell (2, 1)
  // dies before (1, 2) looks at it, so (1, 2) stays dead.
  std::uint32_t pixels[5 * 4] = {};
  pixels[1 * 5 + 0] = pixels[1 * 5 + 1] = pixels[1 * 5 + 2] = kLiveCell;
  std::uint32_t in_place[5 * 4];
  std::memcpy(in_place, pixels, sizeof pixels);
  Image expected{5, 0, 4, 4, in_place};
  life_step(expected, expected);
  Image record{5, 0, 4, 4, pixels};
  lua_pushlightuserdata(lua.L, &record);
  lua_setglobal(lua.L, "record");
  EXPECT_EQ(run("local img = rawImage(record)\n"
                "Effect.lifeStep(img, img)"),
            "");
  EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 20),
            std::vector<std::uint32_t>(in_place, in_place + 20));
  EXPECT_EQ(pixels[1 * 5 + 1], kLiveCell);
  EXPECT_EQ(pixels[2 * 5 + 1], kDeadCell) << "not computed in place, row after row";
  EXPECT_EQ(run("local img = Image.create(5, 5)\n"
                "Effect.lifeStep(img, img)"),
            "");
}

// The module's identity and tables, read from the loaded file.
TEST_F(EffectLuaTest, ModuleCarriesItsIdentityAndImportsLuaByNid) {
  void* handle = dlopen(ZT_EFFECT_LRX, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  const auto* info = static_cast<const pspos::ModuleInfo*>(dlsym(handle, ZT_MODULE_INFO_SYMBOL));
  const void* register_address = dlsym(handle, "effect_register");
  dlclose(handle);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->name, "\"EFFECT\"");
  EXPECT_EQ(std::strlen(info->name), 8u);
  EXPECT_EQ(info->attributes, 0x0000);
  EXPECT_EQ(info->versionMajor, 1);
  EXPECT_EQ(info->versionMinor, 1);

  ASSERT_EQ(info->exportsEnd - info->exports, 2);
  const pspos::ExportEntry& system = info->exports[0];
  EXPECT_EQ(system.name, nullptr);
  EXPECT_EQ(system.attributes, 0x8000);
  ASSERT_EQ(system.functionCount, 1);
  EXPECT_EQ(system.words[0], pspos::kModuleStartNid);
  const pspos::ExportEntry& effect = info->exports[1];
  ASSERT_NE(effect.name, nullptr);
  EXPECT_STREQ(effect.name, "effect");
  EXPECT_EQ(effect.version, 0);
  EXPECT_EQ(effect.attributes, 0x0001);
  EXPECT_EQ(effect.variableCount, 0);
  ASSERT_EQ(effect.functionCount, 1);
  EXPECT_EQ(effect.words[0], kRegisterNid);
  EXPECT_EQ(effect.words[1], reinterpret_cast<std::uintptr_t>(register_address));

  const pspos::ImportEntry* lua = nullptr;
  for (const pspos::ImportEntry* e = info->imports; e != info->importsEnd; ++e) {
    if (e->name != nullptr && std::strcmp(e->name, "LUAPLAYER") == 0) lua = e;
  }
  ASSERT_NE(lua, nullptr);
  EXPECT_EQ(lua->version, 0);
  EXPECT_EQ(lua->attributes, 0x0009);
  EXPECT_EQ(lua->variableCount, 0);
  ASSERT_EQ(lua->functionCount, 90);
  struct Named {
    const char* name;
    std::uint32_t nid;
    void* function;  // the host's Lua, as this program links it
  };
  const Named imports[] = {
#define ZT_LUAPLAYER_IMPORT(name, nid) {#name, nid, reinterpret_cast<void*>(&name)},
#include "luaplayer_nids.inc"
#undef ZT_LUAPLAYER_IMPORT
  };
  // Each NID is the kernel's SHA-1 rule over the name, and every slot was
  // filled with that function of the host.
  for (std::size_t i = 0; i < std::size(imports); ++i) {
    EXPECT_EQ(lua->nids[i], imports[i].nid) << imports[i].name;
    EXPECT_EQ(pspos::nidOf(imports[i].name), imports[i].nid) << imports[i].name;
    EXPECT_EQ(lua->slots[i], imports[i].function) << imports[i].name;
  }
  EXPECT_EQ(pspos::nidOf("lua_gettop"), 0xF175D041u);
  EXPECT_EQ(pspos::nidOf("luaL_openlib"), 0x6E09657Fu);
  EXPECT_EQ(pspos::nidOf("lua_touserdata"), 0xA787CA4Fu);
  EXPECT_EQ(pspos::nidOf("luaL_error"), 0xE78582A8u);
  EXPECT_EQ(pspos::nidOf("luaL_typerror"), 0x6228D007u);
}

}  // namespace
