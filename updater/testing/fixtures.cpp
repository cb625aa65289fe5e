#include "fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zt {
namespace fs = std::filesystem;

std::vector<std::string> FullPack() {
  std::vector<std::string> lines;
  for (int i = 0; i < 28; ++i) lines.push_back("L" + std::to_string(i));
  lines[0] = "English";
  lines[1] = "pkg_en";
  lines[16] = "L16 ";
  return lines;
}

const std::vector<std::string>& PackageFiles() {
  static const std::vector<std::string> files = {
      "\\EBOOT.PBP", "\\effect.lrx", "\\plugbind.prx", "\\luaplayer.prx", "\\simple.lrx",
      "\\sound.lrx", "\\System\\system.lua", "\\ZenTrovia\\Zentrovia.lua",
      "\\ZenTrovia\\00.wav", "\\ZenTrovia\\30.wav", "\\ZenTrovia\\60.wav", "\\ZenTrovia\\90.wav",
      "\\ZenTrovia\\N.wav", "\\ZenTrovia\\NE.wav", "\\ZenTrovia\\E.wav", "\\ZenTrovia\\SE.wav",
      "\\ZenTrovia\\S.wav", "\\ZenTrovia\\SW.wav", "\\ZenTrovia\\W.wav", "\\ZenTrovia\\NW.wav",
      "\\ZenTrovia\\UP.wav", "\\ZenTrovia\\welcome.wav", "\\ZenTrovia\\iss_start.wav",
      "\\ZenTrovia\\iss_max.wav", "\\ZenTrovia\\iss_end.wav", "\\ZenTrovia\\sunrise.wav",
      "\\ZenTrovia\\sunset.wav", "\\ZenTrovia\\moonrise.wav", "\\ZenTrovia\\moonset.wav",
      "\\ZenTrovia\\night_start.wav", "\\ZenTrovia\\night_end.wav",
      "\\ZenTrovia\\luna_dia.png", "\\ZenTrovia\\cruz.png", "\\ZenTrovia\\sol.png",
      "\\ZenTrovia\\festival.png", "\\ZenTrovia\\location.txt", "\\ZenTrovia\\allstars.txt",
  };
  return files;
}

std::string WithChecksum(const std::string& first68) {
  int sum = 0;
  for (char c : first68.substr(0, 68)) sum += (c >= '0' && c <= '9') ? c - '0' : c == '-';
  return first68.substr(0, 68) + std::to_string(sum % 10);
}

std::string ElementSet(int count, int first) {
  std::string body;
  for (int i = 0; i < count; ++i) {
    std::string n = std::to_string(first + i);
    n = std::string(5 - n.size(), '0') + n;
    body += "SAT " + n + "\r\n";
    body += WithChecksum("1 " + n + "U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  292") +
            "\r\n";
    body += WithChecksum("2 " + n + "  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353") +
            "\r\n";
  }
  return body;
}

std::string ElementSetOfSize(std::size_t size) {
  std::string body = ElementSet(static_cast<int>(size / 200) + 1);
  if (body.size() > size) throw std::logic_error("element set too small to fit");
  body.insert(3, std::string(size - body.size(), '_'));
  return body;
}

Machine::Machine(std::map<std::string, std::string> connect_to) {
  std::string pattern = (fs::temp_directory_path() / "zt_machine_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ + "/D/ZenTrovia");
  PosixPlatformOptions options;
  options.drives_root = root_;
  options.program_file = "D:\\ZenTrovia\\ZenTroviaUpdater.exe";
  options.connect_to = std::move(connect_to);
  options.connect_timeout_ms = 5000;
  options.idle_timeout_ms = 5000;
  posix_ = std::make_unique<PosixPlatform>(options);
}

Machine::~Machine() {
  posix_.reset();
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string Machine::Host(const std::string& path) {
  // Drive folders must exist for the platform to resolve the path.
  if (path.size() >= 2 && path[1] == ':') fs::create_directories(root_ + "/" + path.substr(0, 1));
  std::string host = posix_->HostPath(path);
  if (host.empty()) throw std::runtime_error("no host path for " + path);
  return host;
}

void Machine::Write(const std::string& path, const std::string& content) {
  std::string host = Host(path);
  fs::create_directories(fs::path(host).parent_path());
  std::ofstream(host, std::ios::binary | std::ios::trunc) << content;
}

void Machine::MakeFolder(const std::string& path) { fs::create_directories(Host(path)); }

std::optional<std::string> Machine::Read(const std::string& path) {
  std::string host = posix_->HostPath(path);
  if (host.empty() || !fs::is_regular_file(host)) return std::nullopt;
  std::ifstream in(host, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool Machine::Exists(const std::string& path) {
  std::string host = posix_->HostPath(path);
  return !host.empty() && fs::exists(host);
}

void Machine::Remove(const std::string& path) {
  std::string host = path.size() == 2 && path[1] == ':' ? root_ + "/" + path.substr(0, 1)
                                                        : posix_->HostPath(path);
  std::error_code ignored;
  if (!host.empty()) fs::remove_all(host, ignored);
}

void Machine::WritePack(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  Write("D:\\ZenTrovia\\languages\\" + file, text);
}

void Machine::WritePackage() {
  for (const auto& name : PackageFiles()) {
    std::string content = name == "\\ZenTrovia\\location.txt" ? kPackageLocation : "pkg" + name;
    Write("D:\\ZenTrovia\\pkg_en\\__SCE__Zentrovia" + name, content);
  }
}

void Machine::WriteStick(char letter, const std::string& bookmarks) {
  std::string drive(1, letter);
  MakeFolder(drive + ":\\PSP\\GAME");
  Write(drive + ":\\PSP\\SYSTEM\\BROWSER\\bookmarks.html", bookmarks);
}

void Machine::WriteInstalled(char letter) {
  std::string app = std::string(1, letter) + ":\\PSP\\GAME\\Zentrovia";
  for (const auto& name : PackageFiles())
    Write(app + name, name == "\\ZenTrovia\\location.txt" ? kPackageLocation : "pkg" + name);
  MakeFolder(app + "\\ZenTrovia\\tle");
}

App::App() {
  machine.WritePack("english.txt", FullPack());
}

void App::ToSearch() {
  driver.Show();
  driver.FocusLanguageBox();
  driver.Choose(0);
}

void App::ToFound() {
  ToSearch();
  driver.Click(Component::LabelBotonPSP);
}

void App::SaveLocation() { driver.Click(Component::LabelSaveLocation); }

std::vector<std::string> App::Lines(std::initializer_list<int> numbers) {
  std::vector<std::string> pack = FullPack(), out;
  for (int n : numbers) out.push_back(pack[static_cast<std::size_t>(n)]);
  return out;
}

}  // namespace zt
