#include "plugin_host.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "plugbind/plugbind.h"
#include "pspos/kernel.h"

namespace {

std::string hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

}  // namespace

bool PluginHost::start(const std::string& folder, std::string* error) {
  // plugbind keeps the folder of its first start argument for plug-ins;
  // paths on the console are absolute, and a relative "." would leave it
  // with no folder at all.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  const std::string path = (ec ? folder : absolute.string()) + "/plugbind.prx";
  const std::int32_t id = sceKernelLoadModule(path.c_str(), 0, nullptr);
  if (id < 0) {
    *error = path + ": cannot load (" + hex(id) + ")";
    return false;
  }
  // The start argument block: the module's own path with its NUL.
  std::vector<char> args(path.begin(), path.end());
  args.push_back('\0');
  std::int32_t status = 0;
  const std::int32_t started = sceKernelStartModule(
      id, static_cast<std::uint32_t>(args.size()), args.data(), &status, nullptr);
  if (started != id) {
    *error = path + ": start failed (" + hex(started) + ")";
    return false;
  }
  load_plugin_ = reinterpret_cast<plugbind::LoadPluginFn*>(
      pspos::findFunction(id, plugbind::kLibrary, plugbind::kLoadPluginNid));
  find_export_ = reinterpret_cast<plugbind::FindExportFn*>(
      pspos::findFunction(id, plugbind::kLibrary, plugbind::kFindExportNid));
  if (load_plugin_ == nullptr || find_export_ == nullptr) {
    *error = path + ": library plugbind lacks its functions";
    load_plugin_ = nullptr;
    find_export_ = nullptr;
    return false;
  }
  return true;
}

std::int32_t PluginHost::load_plugin(const char* name) const {
  return load_plugin_ ? load_plugin_(name) : -1;
}

const std::uintptr_t* PluginHost::find_export(std::int32_t module_id, const char* library,
                                              const char* function) const {
  return find_export_ ? find_export_(module_id, library, function) : nullptr;
}

bool PluginHost::open_plugin(lua_State* L, const char* plugin, const char* library,
                             const char* function, std::string* error) const {
  const std::int32_t id = load_plugin(plugin);
  if (id < 0) {
    *error = std::string("plug-in ") + plugin + ": cannot load (" + hex(id) + ")";
    return false;
  }
  const std::uintptr_t* slot = find_export(id, library, function);
  if (slot == nullptr || *slot == 0) {
    *error = std::string("plug-in ") + plugin + ": no function " + function + " in library " +
             library;
    return false;
  }
  auto* init = reinterpret_cast<int (*)(lua_State*)>(*slot);
  if (const int result = init(L); result != 0) {
    *error = std::string("plug-in ") + plugin + ": " + function + " returned " +
             std::to_string(result);
    return false;
  }
  return true;
}
