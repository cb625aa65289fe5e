// The application installer and the browser bookmark.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;
constexpr const char* kBookmarkFile = on_stick::kBookmarks;
constexpr const char* kApp = "E:\\PSP\\GAME\\Zentrovia";
const std::string kBookmarkLine =
    "    <DT><A HREF=\"http://www.zentrovia.net/\" ADD_DATE=\"1192751758\" LAST_VISIT=\"1198545384\""
    " LAST_MODIFIED=\"1198545384\" LAST_CHARSET=\"UTF-8\">ZenTrovia Portable</A>\n";

// Install offer on stick E, with the package beside the program.
void ToInstallOffer(App& app, bool package = true) {
  app.machine.WriteStick('E');
  if (package) app.machine.WritePackage();
  app.ToFound();
  ASSERT_EQ(app.driver.FrontStrip(), C::PanelInstalar);
  app.view.ClearLog();
}

TEST(Installer, CopiesThePackageAndShowsTheLocationItCarries) {
  App app;
  ToInstallOffer(app);
  ASSERT_TRUE(app.driver.Click(C::LabelInstalar));
  for (const auto& name : PackageFiles())
    EXPECT_EQ(app.machine.Read(kApp + name),
              app.machine.Read("D:\\ZenTrovia\\pkg_en\\__SCE__Zentrovia" + name)) << name;
  EXPECT_TRUE(app.machine.Exists("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle"));
  EXPECT_FALSE(app.machine.Exists("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle\\visual.tle"));
  EXPECT_EQ(app.view.EditText(C::EditNombre), "Greenwich");
  EXPECT_EQ(app.view.Log(),
            (std::vector<std::string>{
                "line:L21", "repaint", "pause:1000", "line:L22", "line:L24", "pause:3000",
                "edit:EditLat=51.48", "edit:EditLon=0.00", "edit:EditAlt=46", "edit:EditOffset=0",
                "edit:EditNombre=Greenwich", "check=0", "front:PanelLocation",
                "front:PanelLocation2", "line:L27", "repaint", "pause:1000"}));
}

TEST(Installer, StopsAtTheFirstFailedCopy) {
  App app;
  ToInstallOffer(app);
  app.machine.Remove("D:\\ZenTrovia\\pkg_en\\__SCE__Zentrovia\\ZenTrovia\\N.wav");
  app.machine.Write(kApp + std::string("\\ZenTrovia\\mine.txt"), "keep");
  ASSERT_TRUE(app.driver.Click(C::LabelInstalar));
  const auto& files = PackageFiles();
  auto failed = std::find(files.begin(), files.end(), "\\ZenTrovia\\N.wav");
  for (auto it = files.begin(); it != files.end(); ++it)
    EXPECT_EQ(app.machine.Exists(kApp + *it), it < failed) << *it;
  EXPECT_FALSE(app.machine.Exists("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle"));
  EXPECT_EQ(app.machine.Read(kApp + std::string("\\ZenTrovia\\mine.txt")), "keep");
  std::vector<std::string> tail(app.view.Lines().end() - 3, app.view.Lines().end());
  EXPECT_EQ(tail, App::Lines({21, 23, 27}));
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelInstalar);
  // Bookmark added after the failure too.
  EXPECT_NE(app.machine.Read(kBookmarkFile)->find(kBookmarkLine), std::string::npos);
}

TEST(Installer, AMissingPackageLeavesTheApplicationFolderForTheNextSearch) {
  App app;
  ToInstallOffer(app, false);
  ASSERT_TRUE(app.driver.Click(C::LabelInstalar));
  EXPECT_TRUE(app.machine.Exists(kApp));
  EXPECT_FALSE(app.machine.Exists(kApp + std::string("\\EBOOT.PBP")));
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelInstalar);
  // A new search (the handler itself: its strip is behind) finds the folder.
  Dispatch(app.view, [&] { app.form.LabelBotonPSPClick(C::LabelBotonPSP); });
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
}

TEST(Installer, ReplacesPackageFilesAndKeepsOthers) {
  App app;
  app.machine.WriteStick('E');
  app.machine.WritePackage();
  app.machine.Write(kApp + std::string("\\ZenTrovia\\location.txt"), "nam=Saved\n");
  app.machine.Write(kApp + std::string("\\ZenTrovia\\notes.txt"), "mine");
  app.ToFound();
  EXPECT_EQ(app.view.EditText(C::EditNombre), "Saved");
  // A run over an earlier installation, as after a failed one.
  app.form.Install_Slim_compatible();
  EXPECT_EQ(app.machine.Read(kApp + std::string("\\ZenTrovia\\location.txt")), kPackageLocation);
  EXPECT_EQ(app.machine.Read(kApp + std::string("\\ZenTrovia\\notes.txt")), "mine");
  EXPECT_EQ(app.view.EditText(C::EditNombre), "Greenwich");
}

// Fails creating one folder, as a write-protected or full stick may.
class RefuseFolder : public PlatformWrapper {
 public:
  RefuseFolder(Platform& target, std::string refused)
      : PlatformWrapper(target), refused_(std::move(refused)) {}
  bool CreateFolder(const std::string& p) override {
    return p != refused_ && target().CreateFolder(p);
  }

 private:
  std::string refused_;
};

TEST(Installer, AFolderThatCantBeMadeFailsTheRunEvenTheLastOne) {
  Machine m;
  m.WritePack("english.txt", FullPack());
  m.WriteStick('E');
  m.WritePackage();
  RefuseFolder refuse(m.posix(), "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle");
  ModelView view;
  TForm1 form(view, refuse);
  Driver driver(view, form);
  driver.Show(), driver.FocusLanguageBox(), driver.Choose(0);
  driver.Click(C::LabelBotonPSP);
  ASSERT_TRUE(driver.Click(C::LabelInstalar));
  std::vector<std::string> tail(view.Lines().end() - 3, view.Lines().end());
  EXPECT_EQ(tail, App::Lines({21, 23, 27}));
  EXPECT_EQ(driver.FrontStrip(), C::PanelInstalar);
}

TEST(Installer, ABookmarkErrorEndsTheRunBeforeItsLastPause) {
  App app;
  ToInstallOffer(app);
  app.machine.Remove(kBookmarkFile);
  ASSERT_TRUE(app.driver.Click(C::LabelInstalar));
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].text, "File not found.");
  EXPECT_EQ(app.view.Log().back(), "error:File not found.");
  EXPECT_EQ(app.view.Lines().back(), "L24");
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
  EXPECT_FALSE(app.machine.Exists(kBookmarkFile));
  EXPECT_FALSE(app.machine.Exists("E:\\PSP\\SYSTEM\\BROWSER\\bookmarks_temp.html"));
}

TEST(Bookmark, RewritesTheFile) {
  const std::string B = kBookmarkLine;
  const struct {
    const char* what;
    std::string before, after;
  } cases[] = {
      {"after the marker, with LF line ends", Machine::kBookmarks,
       "<HTML>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n" + B +
           "    <DT><A HREF=\"http://example.org/\">Example</A>\n</DL><p>\n</HTML>\n"},
      {"only the first marker", "<DL><p> first\nx\n<DL><p>\ny", "<DL><p> first\n" + B + "x\n<DL><p>\ny\n"},
      {"no marker", "a\r\nb", "a\nb\n"},
      {"marker on the last line", "a\n<DL><p>\n", "a\n<DL><p>\n"},
      {"marker in lower case", "<dl><p>\nx\n", "<dl><p>\nx\n"},
      {"indented marker", "  <DL><p>\nx\n", "  <DL><p>\nx\n"},
      {"empty file", "", "\n"},
      {"Ctrl-Z ends the file", "<DL><p>\nx\n\x1Ay\n", "<DL><p>\n" + B + "x\n"},
      {"Ctrl-Z right after the marker", "<DL><p>\n\x1A" "x\n", "<DL><p>\n"},
      {"lone CRs dropped", "<DL><p>\rq\nx\n", "<DL><p>q\n" + B + "x\n"},
      {"already bookmarked: left as it was",
       "<DL><p>\r\n" + B.substr(0, B.size() - 1) + "\r\n</DL>", "<DL><p>\r\n" + B.substr(0, B.size() - 1) + "\r\n</DL>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    App app;
    app.machine.WriteStick('E', c.before);
    app.ToFound();
    Dispatch(app.view, [] { AddBrowserBookmark(); });
    EXPECT_EQ(app.machine.Read(kBookmarkFile), c.after);
    EXPECT_FALSE(app.machine.Exists("E:\\PSP\\SYSTEM\\BROWSER\\bookmarks_temp.html"));
    EXPECT_EQ(app.view.Lines().back(), "L27");
    EXPECT_TRUE(app.view.Errors().empty());
  }
}

TEST(Bookmark, ASecondInstallationAddsNoSecondCopy) {
  App app;
  ToInstallOffer(app);
  app.form.Install_Slim_compatible();
  std::string once = *app.machine.Read(kBookmarkFile);
  app.form.Install_Slim_compatible();
  EXPECT_EQ(app.machine.Read(kBookmarkFile), once);
  EXPECT_EQ(app.view.Lines().back(), "L27");
}

TEST(Bookmark, APackWithout27LinesFailsAfterTheFileIsWritten) {
  App app;
  std::vector<std::string> pack = FullPack();
  pack.resize(27);
  app.machine.WritePack("english.txt", pack);
  ToInstallOffer(app);
  ASSERT_TRUE(app.driver.Click(C::LabelInstalar));
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].text, "List index out of bounds (27)");
  EXPECT_NE(app.machine.Read(kBookmarkFile)->find(kBookmarkLine), std::string::npos);
}

}  // namespace
}  // namespace zt
