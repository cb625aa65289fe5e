// The application installer and the browser bookmark it adds.
#include "principal.h"

#include "errors.h"
#include "stick_files.h"
#include "text_file.h"

namespace zt {
namespace {

// One installer step: a folder to make sure of, or a file to copy. The
// relative name is joined to the package's and the stick's folders as is.
struct InstallStep {
  bool folder;
  const char* relative;
};

constexpr InstallStep kInstallSteps[] = {
    {true, ""},
    {false, "\\EBOOT.PBP"},
    {false, "\\effect.lrx"},
    {false, "\\plugbind.prx"},
    {false, "\\luaplayer.prx"},
    {false, "\\simple.lrx"},
    {false, "\\sound.lrx"},
    {true, "\\System"},
    {false, "\\System\\system.lua"},
    {true, "\\ZenTrovia"},
    {false, "\\ZenTrovia\\Zentrovia.lua"},
    {false, "\\ZenTrovia\\00.wav"},
    {false, "\\ZenTrovia\\30.wav"},
    {false, "\\ZenTrovia\\60.wav"},
    {false, "\\ZenTrovia\\90.wav"},
    {false, "\\ZenTrovia\\N.wav"},
    {false, "\\ZenTrovia\\NE.wav"},
    {false, "\\ZenTrovia\\E.wav"},
    {false, "\\ZenTrovia\\SE.wav"},
    {false, "\\ZenTrovia\\S.wav"},
    {false, "\\ZenTrovia\\SW.wav"},
    {false, "\\ZenTrovia\\W.wav"},
    {false, "\\ZenTrovia\\NW.wav"},
    {false, "\\ZenTrovia\\UP.wav"},
    {false, "\\ZenTrovia\\welcome.wav"},
    {false, "\\ZenTrovia\\iss_start.wav"},
    {false, "\\ZenTrovia\\iss_max.wav"},
    {false, "\\ZenTrovia\\iss_end.wav"},
    {false, "\\ZenTrovia\\sunrise.wav"},
    {false, "\\ZenTrovia\\sunset.wav"},
    {false, "\\ZenTrovia\\moonrise.wav"},
    {false, "\\ZenTrovia\\moonset.wav"},
    {false, "\\ZenTrovia\\night_start.wav"},
    {false, "\\ZenTrovia\\night_end.wav"},
    {false, "\\ZenTrovia\\luna_dia.png"},
    {false, "\\ZenTrovia\\cruz.png"},
    {false, "\\ZenTrovia\\sol.png"},
    {false, "\\ZenTrovia\\festival.png"},
    {false, "\\ZenTrovia\\location.txt"},
    {false, "\\ZenTrovia\\allstars.txt"},
    {true, "\\ZenTrovia\\tle"},
};

constexpr const char* kListMarker = "<DL><p>";

std::string BookmarkLine() {
  return std::string("    <DT><A HREF=\"") + kHomePageUrl +
         "\" ADD_DATE=\"1192751758\" LAST_VISIT=\"1198545384\""
         " LAST_MODIFIED=\"1198545384\" LAST_CHARSET=\"UTF-8\">ZenTrovia Portable</A>\n";
}

}  // namespace

bool CopyPackageFile(const std::string& Source, const std::string& Destination) {
  return Form1->platform().CopyFile(Source, Destination);
}

void TForm1::LabelInstalarClick(Component) { Install_Slim_compatible(); }

void TForm1::Install_Slim_compatible() {
  view_.AppendLine(Line(21));
  view_.Repaint();
  view_.Pause(1000);
  bool failed = false;
  for (const InstallStep& step : kInstallSteps) {
    if (failed) break;
    if (step.folder) {
      std::string folder = GameFolder + "\\Zentrovia" + step.relative;
      if (!FolderExists(platform_, folder)) platform_.CreateFolder(folder);
      // A folder that still isn't there fails the run, the last one included.
      if (!FolderExists(platform_, folder)) failed = true;
    } else {
      std::string source = ProgramFolder + Line(1) + "\\__SCE__Zentrovia" + step.relative;
      std::string destination = GameFolder + "\\Zentrovia" + step.relative;
      if (!CopyPackageFile(source, destination)) failed = true;
    }
  }
  if (!failed) {
    view_.AppendLine(Line(22));
    UpdatePanelLocation();
    view_.BringToFront(Component::PanelLocation);
    view_.BringToFront(Component::PanelLocation2);
  } else {
    view_.AppendLine(Line(23));
  }
  AddBrowserBookmark();
  view_.Repaint();
  view_.Pause(1000);
}

void AddBrowserBookmark() {
  Platform& platform = Form1->platform();
  const std::string folder = Form1->DriveLetter + ":\\\\PSP\\\\SYSTEM\\\\BROWSER";
  const std::string bookmarks = folder + "\\\\bookmarks.html";
  const std::string temp = folder + "\\\\bookmarks_temp.html";
  const std::string link = std::string("HREF=\"") + kHomePageUrl + "\"";

  bool has_link = false;
  {
    TextReader in(platform, bookmarks);
    TextWriter out(platform, temp);
    auto copy_line = [&]() -> std::string {
      std::string line = in.ReadLine();
      if (line.find(link) != std::string::npos) has_link = true;
      out.Write(line + "\n");
      return line;
    };
    do {
      if (copy_line().rfind(kListMarker, 0) == 0) break;
    } while (!in.Eof());
    if (!in.Eof()) out.Write(BookmarkLine());
    while (!in.Eof()) copy_line();
    in.Close();
    out.Close();
  }
  if (has_link) {
    // Already bookmarked: the file stays byte for byte as it was.
    platform.DeleteFile(temp);
  } else if (!platform.ReplaceFile(temp, bookmarks)) {
    throw IoError(kErrorAccessDenied);
  }
  Form1->view().AppendLine(Form1->Line(27));
}

}  // namespace zt
