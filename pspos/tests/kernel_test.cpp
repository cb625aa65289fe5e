// The kernel's registry, loader, import resolution and SHA-1.
#include <cstring>
#include <fstream>
#include <vector>

#include "test_support.h"

namespace pspos {
namespace {

using testing_support::functionOf;
using testing_support::KernelTest;
using testing_support::TempFolder;

constexpr std::uint32_t kProbeSlotNid = 0x65373812u;

TEST(Sha1, DigestAndNidRule) {
  std::uint8_t digest[20];
  ASSERT_EQ(sceKernelUtilsSha1Digest(reinterpret_cast<const std::uint8_t*>("abc"), 3, digest), 0);
  const std::uint8_t abc[20] = {0xa9, 0x99, 0x3e, 0x36, 0x47, 0x06, 0x81, 0x6a, 0xba, 0x3e,
                                0x25, 0x71, 0x78, 0x50, 0xc2, 0x6c, 0x9c, 0xd0, 0xd8, 0x9d};
  EXPECT_EQ(std::memcmp(digest, abc, sizeof abc), 0);
  EXPECT_EQ(sceKernelUtilsSha1Digest(nullptr, 0, digest), 0);

  EXPECT_EQ(nidOf("module_start"), 0xD632ACDBu);
  EXPECT_EQ(nidOf("lua_gettop"), 0xF175D041u);
  // The kernel's own exports are bound by the NIDs of their names.
  EXPECT_EQ(nidOf("sceKernelFindModuleByName"), nid::kFindModuleByName);
  EXPECT_EQ(nidOf("sceKernelFindModuleByUID"), nid::kFindModuleByUid);
  EXPECT_EQ(nidOf("sceKernelLoadModule"), nid::kLoadModule);
  EXPECT_EQ(nidOf("sceKernelStartModule"), nid::kStartModule);
  EXPECT_EQ(nidOf("sceKernelUtilsSha1Digest"), nid::kSha1Digest);
  EXPECT_EQ(nidOf("ioDirOpen"), nid::kDirOpen);
  EXPECT_EQ(nidOf("ioDirClose"), nid::kDirClose);
}

TEST(Sha1, RefusesMissingBuffers) {
  std::uint8_t digest[20];
  EXPECT_EQ(sceKernelUtilsSha1Digest(nullptr, 1, digest), kErrorIllegalArgument);
  EXPECT_EQ(sceKernelUtilsSha1Digest(reinterpret_cast<const std::uint8_t*>("a"), 1, nullptr),
            kErrorIllegalArgument);
}

TEST_F(KernelTest, KernelModuleIsRegisteredFirst) {
  KernelModuleRecord* kernel = sceKernelFindModuleByName("kernel");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(sceKernelFindModuleByUID(kernel->id), kernel);
  EXPECT_GE(kernel->id, 0);
  EXPECT_EQ(kernel->attributes, 0x1000);
  EXPECT_EQ(functionOf<void>(kernel->id, "UtilsForUser", nid::kSha1Digest),
            reinterpret_cast<void*>(&sceKernelUtilsSha1Digest));
  EXPECT_EQ(sceKernelFindModuleByName("PROBE"), nullptr);
  EXPECT_EQ(sceKernelFindModuleByName(nullptr), nullptr);
  EXPECT_EQ(sceKernelFindModuleByUID(-1), nullptr);
}

TEST_F(KernelTest, LoadFailuresGiveErrorCodes) {
  TempFolder dir;
  const std::string notModule = dir.path() + "/text.lrx";
  std::ofstream(notModule) << "not a module\n";
  struct Case {
    std::string path;
    std::int32_t error;
  };
  const std::vector<Case> cases = {
      {dir.path() + "/missing.lrx", kErrorFileNotFound},
      {dir.path(), kErrorFileNotFound},  // a folder is no module file
      {notModule, kErrorBadModuleFile},
      // A user-mode module may not import a kernel-only library.
      {ZT_FIXTURE_USERLOADCORE, kErrorLibraryNotFound},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sceKernelLoadModule(c.path.c_str(), 0, nullptr), c.error) << c.path;
  }
  EXPECT_EQ(sceKernelLoadModule(nullptr, 0, nullptr), kErrorIllegalArgument);
  EXPECT_EQ(sceKernelFindModuleByName("USERLOADCORE"), nullptr);
}

TEST_F(KernelTest, LoadRegistersTheModuleAndResolvesItsImports) {
  const std::int32_t id = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(id, 0);
  KernelModuleRecord* record = sceKernelFindModuleByName("PROBE");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->id, id);
  EXPECT_EQ(sceKernelFindModuleByUID(id), record);
  EXPECT_NE(id, sceKernelFindModuleByName("kernel")->id);
  // The system library and "probe".
  EXPECT_EQ(record->exportTableSize, static_cast<std::int32_t>(2 * sizeof(ExportEntry)));

  auto* slot = functionOf<void*(int)>(id, "probe", kProbeSlotNid);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot(0), reinterpret_cast<void*>(&sceKernelUtilsSha1Digest));
  EXPECT_EQ(slot(1), nullptr);  // a NID the library lacks

  // Loading the same file again gives another module of the same name.
  const std::int32_t again = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(again, 0);
  EXPECT_NE(again, id);
}

TEST_F(KernelTest, StartRunsTheStartEntryOnce) {
  const std::int32_t id = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(id, 0);
  std::int32_t status = 99;
  EXPECT_EQ(sceKernelStartModule(id, 4, nullptr, &status, nullptr), kErrorIllegalArgument);
  EXPECT_EQ(status, 99);
  EXPECT_EQ(sceKernelStartModule(id, 0, nullptr, &status, nullptr), id);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(sceKernelStartModule(id, 0, nullptr, &status, nullptr), kErrorAlreadyStarted);
  EXPECT_EQ(sceKernelStartModule(id + 100, 0, nullptr, nullptr, nullptr), kErrorUnknownModule);

  const std::int32_t failing = sceKernelLoadModule(ZT_FIXTURE_FAILSTART, 0, nullptr);
  ASSERT_GE(failing, 0);
  EXPECT_EQ(sceKernelStartModule(failing, 0, nullptr, &status, nullptr), kErrorStartFailed);
  EXPECT_EQ(status, -1);
  EXPECT_NE(sceKernelFindModuleByName("FAILSTART"), nullptr);  // stays loaded
}

TEST_F(KernelTest, StartHandsTheModuleACopyOfTheArguments) {
  const std::int32_t id = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(id, 0);
  // 25 strings, of which the start-up takes 19, then an unterminated tail.
  std::vector<char> block;
  for (int i = 0; i < 25; ++i) {
    block.push_back('a');
    block.push_back('\0');
  }
  ASSERT_EQ(sceKernelStartModule(id, static_cast<std::uint32_t>(block.size()), block.data(),
                                 nullptr, nullptr),
            id);
  EXPECT_EQ(functionOf<int()>(id, "probe", 0xD3F85DCAu)(), 19);

  // An unterminated last string is left out.
  const std::int32_t other = sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr);
  ASSERT_GE(other, 0);
  char tail[] = {'x', '\0', 'y', 'z'};
  ASSERT_EQ(sceKernelStartModule(other, sizeof tail, tail, nullptr, nullptr), other);
  EXPECT_EQ(functionOf<int()>(other, "probe", 0xD3F85DCAu)(), 1);
}

TEST_F(KernelTest, HostModulesExportAndImportLikeLoadedOnes) {
  static void* slots[2];
  static const std::uint32_t nids[2] = {nid::kLoadModule, 0x12345678u};
  static const ImportEntry imports[] = {
      {"ModuleMgrForUser", 0, 0x0009, kImportEntryWords, 0, 2, nids, slots}};
  static const std::uintptr_t words[] = {0xABCD0001u,
                                         reinterpret_cast<std::uintptr_t>(&sceKernelLoadModule)};
  static const ExportEntry exports[] = {
      ZT_EXPORT_LIBRARY("HOSTLIB", 0, 0x0001, 1, 0, words)};
  static const ModuleInfo info = {0x0000, 1, 0, "host", exports, exports + 1, imports, imports + 1};

  const std::int32_t id = registerHostModule(info);
  ASSERT_GE(id, 0);
  EXPECT_EQ(sceKernelFindModuleByName("host")->id, id);
  EXPECT_EQ(slots[0], reinterpret_cast<void*>(&sceKernelLoadModule));
  EXPECT_EQ(slots[1], nullptr);
  EXPECT_EQ(findFunction(id, "HOSTLIB", 0xABCD0001u), reinterpret_cast<void*>(&sceKernelLoadModule));
  EXPECT_EQ(findFunction(id, "HOSTLIB", 0xABCD0002u), nullptr);
  EXPECT_EQ(findFunction(id, "OTHER", 0xABCD0001u), nullptr);

  static const ImportEntry missing[] = {
      {"NoSuchLibrary", 0, 0x0009, kImportEntryWords, 0, 2, nids, slots}};
  static const ModuleInfo orphan = {0x0000, 1, 0, "orphan", exports, exports, missing, missing + 1};
  EXPECT_EQ(registerHostModule(orphan), kErrorLibraryNotFound);
  EXPECT_EQ(sceKernelFindModuleByName("orphan"), nullptr);
}

TEST_F(KernelTest, FolderDescriptors) {
  TempFolder dir;
  std::ofstream(dir.path() + "/file") << "x";
  const int fd = ioDirOpen(dir.path().c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ioDirClose(fd), 0);
  EXPECT_EQ(ioDirClose(fd), kErrorBadFile);
  EXPECT_EQ(ioDirOpen((dir.path() + "/file").c_str()), kErrorFileNotFound);
  EXPECT_EQ(ioDirOpen((dir.path() + "/none").c_str()), kErrorFileNotFound);

  mapDevice("ms0:", dir.path());
  const int root = ioDirOpen("ms0:/");
  ASSERT_GE(root, 0);
  EXPECT_EQ(ioDirClose(root), 0);
  EXPECT_EQ(ioDirOpen("ms1:/"), kErrorFileNotFound);  // no such device

  std::vector<int> open;
  int last = 0;
  while ((last = ioDirOpen(dir.path().c_str())) >= 0 && open.size() < 1000) open.push_back(last);
  EXPECT_EQ(last, kErrorTooManyOpen);
  for (int d : open) ioDirClose(d);
}

TEST_F(KernelTest, ResetForgetsLoadedModules) {
  ASSERT_GE(sceKernelLoadModule(ZT_FIXTURE_PROBE, 0, nullptr), 0);
  reset();
  EXPECT_EQ(sceKernelFindModuleByName("PROBE"), nullptr);
  EXPECT_NE(sceKernelFindModuleByName("kernel"), nullptr);
}

// The words that module code reads by byte offset, read as raw memory.
TEST_F(KernelTest, RecordAndExportEntryAsRawWords) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "byte offsets hold in the 32-bit build";
  const std::int32_t id = sceKernelLoadModule(ZT_FIXTURE_TABLES, 0, nullptr);
  ASSERT_GE(id, 0);
  const auto* record = reinterpret_cast<const unsigned char*>(sceKernelFindModuleByUID(id));
  auto word = [](const unsigned char* p, std::size_t at) {
    std::uint32_t w;
    std::memcpy(&w, p + at, 4);
    return w;
  };
  EXPECT_EQ(static_cast<std::int32_t>(word(record, 44)), id);
  EXPECT_EQ(word(record, 68), 4u * 16u);  // four 16-byte entries
  const auto* table = reinterpret_cast<const unsigned char*>(std::uintptr_t{word(record, 64)});

  // Entry 3: library "vars", 1 function and 1 variable.
  const unsigned char* vars = table + 3 * 16;
  EXPECT_STREQ(reinterpret_cast<const char*>(std::uintptr_t{word(vars, 0)}), "vars");
  EXPECT_EQ(vars[8], 4);   // length in words
  EXPECT_EQ(vars[9], 1);   // variables
  EXPECT_EQ(vars[10] | vars[11] << 8, 1);  // functions
  EXPECT_EQ(vars[6] | vars[7] << 8, 0x0001);  // attributes
  const auto* values = reinterpret_cast<const unsigned char*>(std::uintptr_t{word(vars, 12)});
  EXPECT_EQ(word(values, 0), 0x60783545u);  // the function's NID first
  EXPECT_EQ(word(values, 4), 0x27AC3503u);  // then the variable's
  EXPECT_EQ(reinterpret_cast<int (*)()>(std::uintptr_t{word(values, 8)})(), 3);
  EXPECT_EQ(*reinterpret_cast<const int*>(std::uintptr_t{word(values, 12)}), 4);

  // Entry 0: the unnamed system library.
  EXPECT_EQ(word(table, 0), 0u);
  EXPECT_EQ(table[6] | table[7] << 8, 0x8000);
}

}  // namespace
}  // namespace pspos
