// The whole calling sequence: the host starts plugbind from a folder that
// holds only the two module files, loads effect through it, finds the
// registration slot, registers Effect and runs a Lua script over it.
#include "plugin_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "host_image.h"
#include "lua_exports.h"
#include "lua_run.h"
#include "pspos/kernel.h"

namespace fs = std::filesystem;

namespace {

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pspos::reset();
    ASSERT_GE(register_lua_host_module(), 0);
    char pattern[] = "/tmp/zt_plugins_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    open_host_images(lua.L);
  }
  void TearDown() override {
    pspos::reset();
    fs::remove_all(folder);
  }
  void add_module(const char* built_file) {
    fs::copy_file(built_file, fs::path(folder) / fs::path(built_file).filename());
  }

  std::string folder;
  LuaState lua;
};

TEST_F(PluginHostTest, RegistersEffectThroughPlugbindAndAGliderMoves) {
  add_module(ZT_PLUGBIND_PRX);
  add_module(ZT_EFFECT_LRX);
  PluginHost host;
  std::string error;
  ASSERT_TRUE(host.start(folder, &error)) << error;

  const std::int32_t id = host.load_plugin("effect");
  ASSERT_GE(id, 0);
  const std::uintptr_t* slot = host.find_export(id, "effect", kPluginInitName);
  ASSERT_NE(slot, nullptr);

  // The slot holds the entry address of the registration function of the
  // copy in the folder.
  const std::string effect_path = folder + "/effect.lrx";
  void* handle = dlopen(effect_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr) << "effect.lrx was not loaded from the plug-in folder";
  EXPECT_EQ(*slot, reinterpret_cast<std::uintptr_t>(dlsym(handle, "effect_register")));
  dlclose(handle);

  auto* init = reinterpret_cast<int (*)(lua_State*)>(*slot);
  EXPECT_EQ(init(lua.L), 0);
  EXPECT_EQ(run_lua(lua.L, "dofile('" ZT_GLIDER_LUA "')"), "");
}

TEST_F(PluginHostTest, OpenPluginDoesTheWholeSequence) {
  add_module(ZT_PLUGBIND_PRX);
  add_module(ZT_EFFECT_LRX);
  PluginHost host;
  std::string error;
  ASSERT_TRUE(host.start(folder, &error)) << error;
  ASSERT_TRUE(host.open_plugin(lua.L, "effect", "effect", kPluginInitName, &error)) << error;
  EXPECT_EQ(run_lua(lua.L, "assert(type(Effect.lifeStep) == 'function')"), "");
}

TEST_F(PluginHostTest, StartsFromARelativeFolder) {
  add_module(ZT_PLUGBIND_PRX);
  add_module(ZT_EFFECT_LRX);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  PluginHost host;
  std::string error;
  const bool started = host.start(".", &error);
  const bool opened =
      started && host.open_plugin(lua.L, "effect", "effect", kPluginInitName, &error);
  fs::current_path(previous);
  EXPECT_TRUE(started && opened) << error;
}

TEST_F(PluginHostTest, FailuresNameTheirStep) {
  std::string error;
  {
    PluginHost host;  // empty folder: no loader
    EXPECT_FALSE(host.start(folder, &error));
    EXPECT_NE(error.find("plugbind.prx: cannot load"), std::string::npos) << error;
    EXPECT_FALSE(host.open_plugin(lua.L, "effect", "effect", kPluginInitName, &error));
  }
  add_module(ZT_PLUGBIND_PRX);
  PluginHost host;
  ASSERT_TRUE(host.start(folder, &error)) << error;
  EXPECT_FALSE(host.open_plugin(lua.L, "effect", "effect", kPluginInitName, &error));
  EXPECT_NE(error.find("plug-in effect: cannot load (0x"), std::string::npos) << error;

  add_module(ZT_EFFECT_LRX);
  // The export's NID is that of the host's name for it, not of the name in
  // the plug-in's source.
  EXPECT_FALSE(host.open_plugin(lua.L, "effect", "effect", "effect_register", &error));
  EXPECT_EQ(error, "plug-in effect: no function effect_register in library effect");
  EXPECT_FALSE(host.open_plugin(lua.L, "effect", "Effect", kPluginInitName, &error));
  EXPECT_EQ(error, "plug-in effect: no function init in library Effect");
  EXPECT_EQ(run_lua(lua.L, "assert(Effect == nil)"), "");
}

}  // namespace
