// The form, the dispatcher, the language packs, console detection and the
// observer location file.
#include "principal.h"

#include <exception>

#include "errors.h"
#include "stick_files.h"
#include "text_file.h"

namespace zt {

TForm1* Form1 = nullptr;

void Dispatch(View& view, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    view.ShowError(kApplicationTitle, WithFullStop(e.what()));
  }
}

void HandleEvent(View& view, TForm1& form, FormEvent event) {
  Dispatch(view, [&] {
    switch (event) {
      case FormEvent::FormShow: form.FormShow(Component::Form1); break;
      case FormEvent::LabelSalirClick: form.LabelSalirClick(Component::LabelSalir); break;
      case FormEvent::ComboLanguagesEnter:
        form.ComboLanguagesEnter(Component::ComboLanguages);
        break;
      case FormEvent::ComboLanguagesSelect:
        form.ComboLanguagesSelect(Component::ComboLanguages);
        break;
      case FormEvent::LabelBotonPSPClick: form.LabelBotonPSPClick(Component::LabelBotonPSP); break;
      case FormEvent::LabelSaveLocationClick:
        form.LabelSaveLocationClick(Component::LabelSaveLocation);
        break;
      case FormEvent::LabelDownloadClick: form.LabelDownloadClick(Component::LabelDownload); break;
      case FormEvent::LabelInstalarClick: form.LabelInstalarClick(Component::LabelInstalar); break;
    }
  });
}

TForm1::TForm1(View& view, Platform& platform) : view_(view), platform_(platform) {
  Form1 = this;
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

const std::string& TForm1::Line(int n) const {
  if (n < 0 || static_cast<std::size_t>(n) >= LanguageLines.size()) throw ListIndexError(n);
  return LanguageLines[static_cast<std::size_t>(n)];
}

// --- The window's own handlers ------------------------------------------------

void TForm1::FormShow(Component) {
  std::string name = platform_.ProgramFileName();
  std::size_t cut = name.find_last_of("\\/");
  ProgramFolder = cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
}

void TForm1::LabelSalirClick(Component) { view_.Close(); }

// --- Language packs ---------------------------------------------------------------

namespace {

constexpr const char* kLanguageFolder = "./languages";
constexpr const char* kLanguageMask = "./*.txt";
constexpr std::uint32_t kSpecialAttributes = kAttrHidden | kAttrSystem | kAttrVolumeId |
                                             kAttrDirectory;

void ChangeDirectory(Platform& platform, const std::string& path) {
  if (int code = platform.SetCurrentDirectory(path)) throw IoError(code);
}

// Runs work inside "./languages" and comes back to "..". When the work
// fails, the directory it started in is restored before the error goes on,
// so that a later listing or choice still finds "./languages".
void InLanguageFolder(Platform& platform, const std::function<void()>& work) {
  std::string start = platform.CurrentDirectory();
  ChangeDirectory(platform, kLanguageFolder);
  try {
    work();
  } catch (...) {
    platform.SetCurrentDirectory(start);
    throw;
  }
  ChangeDirectory(platform, "..");
}

}  // namespace

void FindLanguageFiles(const std::string& Mask, std::uint32_t Attributes,
                       const std::function<void(const std::string&)>& AddEntry,
                       std::vector<std::string>& Files) {
  Platform& platform = Form1->platform();
  std::vector<FoundFile> found;
  if (platform.FindFiles(Mask, found) != 0) return;
  std::size_t cut = Mask.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : Mask.substr(0, cut + 1);
  std::uint32_t excluded = kSpecialAttributes & ~Attributes;
  for (const FoundFile& f : found) {
    if (f.attributes & excluded) continue;
    TextReader pack(platform, folder + f.name);
    std::string display_name = pack.ReadLine();
    pack.Close();
    AddEntry(display_name);
    Files.push_back(f.name);
  }
}

void FindLanguageFiles(const std::string& Mask, std::uint32_t Attributes,
                       std::vector<std::string>& Entries, std::vector<std::string>& Files) {
  FindLanguageFiles(
      Mask, Attributes, [&](const std::string& entry) { Entries.push_back(entry); }, Files);
}

void TForm1::ComboLanguagesEnter(Component) {
  view_.ClearLanguages();
  LanguageFiles.clear();
  InLanguageFolder(platform_, [&] {
    FindLanguageFiles(
        kLanguageMask, kAttrArchive, [&](const std::string& e) { view_.AddLanguage(e); },
        LanguageFiles);
  });
}

void TForm1::ComboLanguagesSelect(Component) {
  int index = view_.LanguageIndex();
  if (index == -1) return;
  InLanguageFolder(platform_, [&] {
    LanguageLines.clear();
    if (index < 0 || static_cast<std::size_t>(index) >= LanguageFiles.size())
      throw ListIndexError(index);
    LanguageLines = LoadLines(platform_, LanguageFiles[static_cast<std::size_t>(index)]);
  });
  view_.SetVisible(Component::PanelSeleccionIdioma, false);
  view_.SetEnabled(Component::PanelSeleccionIdioma, false);
  view_.AppendLine(Line(14));
  static constexpr struct {
    Component label;
    int line;
  } kCaptions[] = {
      {Component::LabelBotonPSP, 2},   {Component::LabelInstalar, 3},
      {Component::LabelDownload, 4},   {Component::LabelSaveLocation, 5},
      {Component::LabelSalir, 6},      {Component::LabelObservador, 7},
      {Component::LabelNombre, 8},     {Component::LabelLatitud, 9},
      {Component::LabelLongitud, 10},  {Component::LabelAltitud, 11},
      {Component::LabelTimezone, 12},  {Component::LabelDST, 13},
      {Component::LabelCalSky, 26},
  };
  for (const auto& c : kCaptions) view_.SetCaption(c.label, Line(c.line));
}

// --- Console detection -----------------------------------------------------------------

void TForm1::LabelBotonPSPClick(Component) {
  view_.AppendLine(Line(15));
  view_.Pause(1000);
  std::string letter;
  for (char c = 'C'; c <= 'Z'; ++c) {
    if (FolderExists(platform_, std::string(1, c) + ":\\\\PSP\\\\GAME")) {
      letter = std::string(1, c);
      break;
    }
  }
  if (letter.empty()) {
    view_.AppendLine(Line(17));
    view_.Pause(1000);
    view_.BringToFront(Component::PanelDetectarPSP);
    return;
  }
  DriveLetter = letter;
  view_.AppendLine(Line(16) + DriveLetter + ":");
  view_.Pause(1000);
  TleFolder = DriveLetter + ":\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle";
  AppDataFolder = DriveLetter + ":\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia";
  GameFolder = DriveLetter + ":\\PSP\\GAME";
  if (FolderExists(platform_, DriveLetter + ":\\\\PSP\\\\GAME\\\\Zentrovia")) {
    UpdatePanelLocation();
    view_.BringToFront(Component::PanelLocation);
    view_.BringToFront(Component::PanelLocation2);
  } else {
    view_.BringToFront(Component::PanelInstalar);
  }
}

// --- Observer location file ---------------------------------------------------------------

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

struct LocationKey {
  const char* prefix;
  Component edit;
};
// File order: latitude, longitude, altitude, offset, name.
constexpr LocationKey kLocationKeys[] = {
    {"lat=", Component::EditLat},    {"lon=", Component::EditLon},
    {"alt=", Component::EditAlt},    {"off=", Component::EditOffset},
    {"nam=", Component::EditNombre},
};

}  // namespace

void TForm1::UpdatePanelLocation() {
  view_.AppendLine(Line(24));
  view_.Pause(3000);
  std::string path = AppDataFolder + "\\\\location.txt";
  if (!FileExists(platform_, path)) return;
  TextReader file(platform_, path);
  while (!file.Eof()) {
    std::string line = file.ReadLine();
    // Every prefix is tested; a later line with the same key wins.
    for (const LocationKey& k : kLocationKeys)
      if (StartsWith(line, k.prefix)) view_.SetEditText(k.edit, line.substr(4));
    if (StartsWith(line, "dst=true")) view_.SetChecked(Component::CheckBoxVerano, true);
    if (StartsWith(line, "dst=false")) view_.SetChecked(Component::CheckBoxVerano, false);
  }
  file.Close();
}

void TForm1::LabelSaveLocationClick(Component) {
  ReplaceWithText(platform_, AppDataFolder + "\\\\location.txt",
                  AppDataFolder + "\\\\location_temp.txt", [&](TextWriter& out) {
                    for (const LocationKey& k : kLocationKeys)
                      out.Write(std::string(k.prefix) + view_.EditText(k.edit) + "\n");
                    out.Write(view_.Checked(Component::CheckBoxVerano) ? "dst=true\n"
                                                                       : "dst=false\n");
                  });
  view_.BringToFront(Component::PanelActualizar);
  view_.SendToBack(Component::PanelLocation);
  view_.AppendLine(Line(22));
  view_.AppendLine(Line(25));
  view_.Pause(1000);
}

}  // namespace zt
