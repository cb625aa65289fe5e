// plugbind.prx loaded into the host kernel: its identity, plug-in loading
// by name from its own folder, and export lookup by library and name.
#include "plugbind/plugbind.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "pspos/tests/test_support.h"

namespace {

using pspos::testing_support::functionOf;
using pspos::testing_support::KernelTest;
using pspos::testing_support::TempFolder;
namespace fs = std::filesystem;

constexpr std::uint32_t kProbeArgcNid = 0xD3F85DCAu;
constexpr std::uint32_t kProbeCwdNid = 0x6E114266u;

// What the kernel was asked to do through plugbind's imports.
struct Observed {
  std::vector<std::string> loads;
  std::vector<std::int32_t> loadFlags;
  std::vector<std::string> startBlocks;  // the argument blocks, NULs included
  std::vector<std::int32_t> startIds;
};

class PlugbindTest : public KernelTest {
 protected:
  void SetUp() override {
    KernelTest::SetUp();
    fs::copy_file(ZT_FIXTURE_PROBE, folder.path() + "/probe.lrx");
    fs::copy_file(ZT_FIXTURE_FAILSTART, folder.path() + "/failstart.lrx");
    fs::copy_file(ZT_FIXTURE_TABLES, folder.path() + "/tables.lrx");
  }

  // Loads plugbind.prx and starts it with `block` as its argument block
  // (none when empty), as a host would.
  void startPlugbind(std::string block) {
    id = sceKernelLoadModule(ZT_PLUGBIND_PRX, 0, nullptr);
    ASSERT_GE(id, 0);
    ASSERT_EQ(sceKernelStartModule(id, static_cast<std::uint32_t>(block.size()),
                                   block.empty() ? nullptr : block.data(), nullptr, nullptr),
              id);
    load = functionOf<plugbind::LoadPluginFn>(id, plugbind::kLibrary, plugbind::kLoadPluginNid);
    find = functionOf<plugbind::FindExportFn>(id, plugbind::kLibrary, plugbind::kFindExportNid);
    ASSERT_NE(load, nullptr);
    ASSERT_NE(find, nullptr);
  }
  void startPlugbindIn(const std::string& dir) {
    startPlugbind(dir + "/plugbind.prx" + std::string(1, '\0'));
  }

  // Records every load and start; `loadResult` replaces the real load
  // when set, so that a test sees the path without a file behind it.
  void observe(std::int32_t loadResult = 0) {
    pspos::setHooks(pspos::KernelHooks{
        [this, loadResult](const char* path, std::int32_t flags, void* options) {
          seen.loads.emplace_back(path);
          seen.loadFlags.push_back(flags);
          EXPECT_EQ(options, nullptr);
          return loadResult != 0 ? loadResult : pspos::defaultLoadModule(path, flags, options);
        },
        [this](std::int32_t module, std::uint32_t size, void* block, std::int32_t* status,
               void* options) {
          seen.startIds.push_back(module);
          seen.startBlocks.emplace_back(static_cast<const char*>(block), size);
          EXPECT_NE(status, nullptr);
          EXPECT_EQ(options, nullptr);
          return pspos::defaultStartModule(module, size, block, status, options);
        },
        {}});
  }

  TempFolder folder;
  Observed seen;
  std::int32_t id = -1;
  plugbind::LoadPluginFn* load = nullptr;
  plugbind::FindExportFn* find = nullptr;
};

// A folder below `base` whose path has exactly `length` characters.
std::string folderOfLength(const std::string& base, std::size_t length) {
  std::string path = base;
  while (path.size() < length) {
    std::size_t rest = length - path.size() - 1;  // after the "/"
    std::size_t part = rest > 100 ? 100 : rest;
    if (rest - part == 1) --part;  // leave room for "/" and one character
    path += "/" + std::string(part, 'd');
  }
  fs::create_directories(path);
  return path;
}

TEST_F(PlugbindTest, ModuleIdentity) {
  startPlugbind("");
  const pspos::KernelModuleRecord* record = sceKernelFindModuleByName("PLUGBIND");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->id, id);
  EXPECT_EQ(record->attributes, 0x1000);
  EXPECT_EQ(record->versionMajor, 1);
  EXPECT_EQ(record->versionMinor, 1);

  ASSERT_EQ(record->exportTableSize, static_cast<std::int32_t>(2 * sizeof(pspos::ExportEntry)));
  const auto* exports = static_cast<const pspos::ExportEntry*>(record->exportTable);
  EXPECT_EQ(exports[0].name, nullptr);
  EXPECT_EQ(exports[0].attributes, 0x8000);
  EXPECT_EQ(exports[0].functionCount, 1);
  EXPECT_EQ(exports[0].words[0], 0xD632ACDBu);
  EXPECT_STREQ(exports[1].name, "plugbind");
  EXPECT_EQ(exports[1].version, 0);
  EXPECT_EQ(exports[1].attributes, 0x4001);
  EXPECT_EQ(exports[1].length, sizeof(pspos::ExportEntry) / 4);
  EXPECT_EQ(exports[1].functionCount, 2);
  EXPECT_EQ(exports[1].variableCount, 0);
  EXPECT_EQ(exports[1].words[0], 0x23C4746Au);
  EXPECT_EQ(exports[1].words[1], 0xBFA30E77u);

  std::vector<std::string> imports;
  const auto* imp = static_cast<const pspos::ImportEntry*>(record->importTable);
  for (std::size_t i = 0; i < record->importTableSize / sizeof(pspos::ImportEntry); ++i)
    imports.emplace_back(imp[i].name);
  EXPECT_EQ(imports, (std::vector<std::string>{"IoForUser", "LoadCoreForKernel",
                                               "ModuleMgrForUser", "UtilsForUser"}));
}

TEST_F(PlugbindTest, LoadsAndStartsAPlugInFromItsOwnFolder) {
  startPlugbindIn(folder.path());
  observe();
  const std::int32_t plugin = load("probe");
  ASSERT_GE(plugin, 0);
  EXPECT_EQ(sceKernelFindModuleByName("PROBE")->id, plugin);

  const std::string path = folder.path() + "/probe.lrx";
  EXPECT_EQ(seen.loads, std::vector<std::string>{path});
  EXPECT_EQ(seen.loadFlags, std::vector<std::int32_t>{0});
  // The argument block is the path with its NUL.
  EXPECT_EQ(seen.startIds, std::vector<std::int32_t>{plugin});
  EXPECT_EQ(seen.startBlocks, std::vector<std::string>{path + std::string(1, '\0')});
  // So the plug-in's working directory is its own folder.
  EXPECT_EQ(std::string(functionOf<const char*()>(plugin, "probe", kProbeCwdNid)()),
            folder.path());
  EXPECT_EQ(functionOf<int()>(plugin, "probe", kProbeArgcNid)(), 1);
}

TEST_F(PlugbindTest, LoadFailures) {
  startPlugbindIn(folder.path());
  observe();
  EXPECT_EQ(load(nullptr), -1);
  EXPECT_TRUE(seen.loads.empty());

  // The kernel's own code comes back unchanged.
  EXPECT_EQ(load("absent"), pspos::kErrorFileNotFound);
  fs::copy_file(ZT_FIXTURE_USERLOADCORE, folder.path() + "/userloadcore.lrx");
  EXPECT_EQ(load("userloadcore"), pspos::kErrorLibraryNotFound);

  // A start that fails gives -1 and leaves the module loaded.
  EXPECT_EQ(load("failstart"), -1);
  ASSERT_EQ(seen.startIds.size(), 1u);
  const pspos::KernelModuleRecord* failed = sceKernelFindModuleByName("FAILSTART");
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->id, seen.startIds[0]);
}

TEST_F(PlugbindTest, AStartResultOtherThanTheIdGivesMinusOne) {
  startPlugbindIn(folder.path());
  pspos::setHooks(pspos::KernelHooks{
      {},
      [](std::int32_t module, std::uint32_t size, void* block, std::int32_t* status, void* opt) {
        return pspos::defaultStartModule(module, size, block, status, opt) + 1;
      },
      {}});
  EXPECT_EQ(load("probe"), -1);
  EXPECT_NE(sceKernelFindModuleByName("PROBE"), nullptr);
}

TEST_F(PlugbindTest, ALoadedModuleIsFoundByItsModuleName) {
  startPlugbindIn(folder.path());
  observe();
  const std::int32_t probe = load("probe");
  ASSERT_GE(probe, 0);
  ASSERT_EQ(seen.loads.size(), 1u);

  // Module names, not file names: "PROBE" is loaded, no file is opened.
  EXPECT_EQ(load("PROBE"), probe);
  EXPECT_EQ(load("PLUGBIND"), id);
  EXPECT_EQ(load("kernel"), sceKernelFindModuleByName("kernel")->id);
  EXPECT_EQ(seen.loads.size(), 1u);

  // The file name is no module name, so it loads the file again.
  const std::int32_t again = load("probe");
  ASSERT_GE(again, 0);
  EXPECT_NE(again, probe);
  EXPECT_EQ(seen.loads.size(), 2u);
}

TEST_F(PlugbindTest, PlugInFolderComesFromTheStartArgument) {
  TempFolder base;
  const std::string roomy = folderOfLength(base.path(), 253);  // "x" just fits
  const std::string longest = folderOfLength(base.path(), 255);
  const std::string tooLong = folderOfLength(base.path(), 256);
  struct Case {
    std::string block;
    std::string path;  // what the kernel is asked to load for "x"; empty: nothing
  };
  const std::vector<Case> cases = {
      {folder.path() + "/plugbind.prx" + '\0', folder.path() + "/x.lrx"},
      {"ms0:/PSP//GAME/./plugbind.prx" + std::string(1, '\0') + "second" + '\0',
       "ms0:/PSP/GAME/x.lrx"},
      {roomy + "/plugbind.prx" + '\0', roomy + "/x.lrx"},
      // A folder of 254 or 255 characters is kept, and leaves no room for a name.
      {longest + "/plugbind.prx" + '\0', ""},
      // Without a folder that opens and is shorter than 256, paths start at "/".
      {tooLong + "/plugbind.prx" + '\0', "/x.lrx"},
      {"", "/x.lrx"},
      {std::string("plugbind.prx") + '\0', "/x.lrx"},
      {folder.path() + "/missing/plugbind.prx" + '\0', "/x.lrx"},
  };
  for (const Case& c : cases) {
    pspos::reset();
    fs::create_directories(folder.path() + "/PSP/GAME");
    pspos::mapDevice("ms0:", folder.path());
    startPlugbind(c.block);
    seen = {};
    observe(pspos::kErrorFileNotFound);
    if (c.path.empty()) {
      EXPECT_EQ(load("x"), -1);
      EXPECT_TRUE(seen.loads.empty()) << c.block;
    } else {
      EXPECT_EQ(load("x"), pspos::kErrorFileNotFound);
      EXPECT_EQ(seen.loads, std::vector<std::string>{c.path}) << c.block;
    }
  }
}

TEST_F(PlugbindTest, ANameWhosePathDoesNotFitIsRefused) {
  for (const std::string& dir : {std::string(), folder.path()}) {
    pspos::reset();
    startPlugbind(dir.empty() ? "" : dir + "/plugbind.prx" + '\0');
    seen = {};
    observe(pspos::kErrorFileNotFound);
    // folder, "/", name, ".lrx" and the NUL in 260 bytes.
    const std::size_t longestName = 260 - dir.size() - 1 - 4 - 1;
    const std::string fits(longestName, 'n');
    EXPECT_EQ(load(fits.c_str()), pspos::kErrorFileNotFound);
    ASSERT_EQ(seen.loads.size(), 1u);
    EXPECT_EQ(seen.loads[0], dir + "/" + fits + ".lrx");
    EXPECT_EQ(seen.loads[0].size(), 259u);

    EXPECT_EQ(load((fits + "n").c_str()), -1);
    EXPECT_EQ(load(std::string(100000, 'n').c_str()), -1);
    EXPECT_EQ(seen.loads.size(), 1u) << dir;
  }
}

TEST_F(PlugbindTest, FindExportGivesTheSlotOfTheFunction) {
  startPlugbindIn(folder.path());
  const std::int32_t probe = load("probe");
  ASSERT_GE(probe, 0);
  std::uintptr_t* slot = find(probe, "probe", "probe_argc");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(*slot), pspos::findFunction(probe, "probe", kProbeArgcNid));
  EXPECT_EQ(reinterpret_cast<int (*)()>(*slot)(), 1);

  // Any loaded module, the kernel's included.
  const std::int32_t kernel = sceKernelFindModuleByName("kernel")->id;
  std::uintptr_t* digest = find(kernel, "UtilsForUser", "sceKernelUtilsSha1Digest");
  ASSERT_NE(digest, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(*digest), reinterpret_cast<void*>(&sceKernelUtilsSha1Digest));
}

TEST_F(PlugbindTest, FindExportWalksTheTableAsTheKernelRecordsIt) {
  startPlugbindIn(folder.path());
  const std::int32_t tables = load("tables");
  ASSERT_GE(tables, 0);
  struct Case {
    const char* library;
    const char* function;
    int result;  // of calling the found function; 0: not found
  };
  const std::vector<Case> cases = {
      {"alpha", "alpha_one", 1},
      {"vars", "vars_fn", 3},
      // The walk ends at the first entry named "alpha".
      {"alpha", "alpha_two", 0},
      // Variables are never matched.
      {"vars", "shared_value", 0},
      // The system library has no name, so its start entry is never found.
      {"", "module_start", 0},
      {"alpha", "module_start", 0},
      {"ALPHA", "alpha_one", 0},
      {"alph", "alpha_one", 0},
      {"beta", "alpha_one", 0},
      {"alpha", "", 0},
  };
  for (const Case& c : cases) {
    std::uintptr_t* slot = find(tables, c.library, c.function);
    if (c.result == 0) {
      EXPECT_EQ(slot, nullptr) << c.library << " " << c.function;
    } else {
      ASSERT_NE(slot, nullptr) << c.library << " " << c.function;
      EXPECT_EQ(reinterpret_cast<int (*)()>(*slot)(), c.result);
    }
  }
  EXPECT_EQ(find(tables + 1000, "alpha", "alpha_one"), nullptr);
  EXPECT_EQ(find(-1, "alpha", "alpha_one"), nullptr);
}

int wanted() { return 7; }

TEST_F(PlugbindTest, FindExportInOddTables) {
  startPlugbindIn(folder.path());
  static const std::uintptr_t words[] = {0x60783545u, reinterpret_cast<std::uintptr_t>(&wanted)};
  static const pspos::ExportEntry good = ZT_EXPORT_LIBRARY("vars", 0, 0x0001, 1, 0, words);
  static pspos::ExportEntry table[2] = {good, good};
  table[0].name = "other";
  table[0].length = 0;  // would never advance

  struct Case {
    const char* name;
    const pspos::ExportEntry* begin;
    const pspos::ExportEntry* end;
  };
  const std::vector<Case> cases = {
      {"empty", &table[1], &table[1]},
      // A negative length holds no entries, although an entry lies there.
      {"negative", &table[1], &table[0]},
      {"zero-length entry", &table[0], &table[2]},
  };
  for (const Case& c : cases) {
    pspos::ModuleInfo info = {0x0000, 1, 0, {}, c.begin, c.end, nullptr, nullptr};
    std::strcpy(info.name, c.name);
    const std::int32_t module = pspos::registerHostModule(info);
    ASSERT_GE(module, 0);
    EXPECT_EQ(find(module, "vars", "vars_fn"), nullptr) << c.name;
  }

  // The same entry in a sound table is found.
  pspos::ModuleInfo info = {0x0000, 1, 0, "sound", &table[1], &table[2], nullptr, nullptr};
  const std::int32_t sound = pspos::registerHostModule(info);
  std::uintptr_t* slot = find(sound, "vars", "vars_fn");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(reinterpret_cast<int (*)()>(*slot)(), 7);
}

TEST_F(PlugbindTest, FindExportGivesNullWhenTheDigestFails) {
  startPlugbindIn(folder.path());
  const std::int32_t tables = load("tables");
  ASSERT_GE(tables, 0);
  pspos::setHooks(pspos::KernelHooks{
      {}, {}, [](const std::uint8_t*, std::uint32_t, std::uint8_t*) { return -1; }});
  EXPECT_EQ(find(tables, "alpha", "alpha_one"), nullptr);
}

}  // namespace
