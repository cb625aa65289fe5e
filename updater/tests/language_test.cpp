// Listing and choosing language packs.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;

// A directory search that delivers a fixed list, in a fixed order.
class ScriptedSearch : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  std::vector<FoundFile> entries;
  int FindFiles(const std::string&, std::vector<FoundFile>& found) override {
    found = entries;
    return 0;
  }
};

TEST(LanguageList, DeliversSearchOrderAndAdmitsOnlyPlainFiles) {
  Machine m;
  for (const char* name : {"b.txt", "a.txt", "plain.txt", "hidden.txt", "sys.txt", "vol.txt"})
    m.Write(std::string("D:\\ZenTrovia\\languages\\") + name, std::string("name of ") + name + "\r\n");
  m.MakeFolder("D:\\ZenTrovia\\languages\\dir.txt");
  ScriptedSearch search(m.posix());
  search.entries = {{"b.txt", kAttrArchive},
                    {"hidden.txt", kAttrArchive | kAttrHidden},
                    {"a.txt", kAttrReadOnly},
                    {"sys.txt", kAttrSystem},
                    {"dir.txt", kAttrDirectory},
                    {"vol.txt", kAttrVolumeId},
                    {"plain.txt", 0}};
  ModelView view;
  TForm1 form(view, search);
  form.ComboLanguagesEnter(C::ComboLanguages);
  EXPECT_EQ(view.Languages(),
            (std::vector<std::string>{"name of b.txt", "name of a.txt", "name of plain.txt"}));
  EXPECT_EQ(form.LanguageFiles, (std::vector<std::string>{"b.txt", "a.txt", "plain.txt"}));

  // The attribute value decides which special files are admitted.
  std::vector<std::string> entries, files;
  FindLanguageFiles("./languages/*.txt", kAttrArchive | kAttrHidden | kAttrSystem, entries, files);
  EXPECT_EQ(files, (std::vector<std::string>{"b.txt", "hidden.txt", "a.txt", "sys.txt", "plain.txt"}));
}

TEST(LanguageList, RealSearchSkipsFoldersAndDotFilesAndListsOnceEachTime) {
  App app;  // english.txt
  app.machine.WritePack("deutsch.TXT", {"Deutsch"});
  app.machine.WritePack(".hidden.txt", {"Hidden"});
  app.machine.WritePack("notes.doc", {"Notes"});
  app.machine.MakeFolder("D:\\ZenTrovia\\languages\\folder.txt");
  app.driver.Show();
  for (int focus = 0; focus < 3; ++focus) {  // enter, leave with Tab, enter again
    ASSERT_TRUE(app.driver.FocusLanguageBox());
    auto entries = app.view.Languages();
    ASSERT_EQ(entries.size(), 2u);
    for (std::size_t i = 0; i < entries.size(); ++i)  // entry i names file i
      EXPECT_EQ(entries[i], entries[i] == "English" ? "English" : "Deutsch");
    std::vector<std::string> files = app.form.LanguageFiles;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"deutsch.TXT", "english.txt"}));
    for (std::size_t i = 0; i < entries.size(); ++i)
      EXPECT_EQ(entries[i] == "English", app.form.LanguageFiles[i] == "english.txt");
  }
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "D:\\ZenTrovia");
}

TEST(LanguageList, DisplayNameIsTheFirstLineByTheReadersRules) {
  const struct {
    const char* what;
    std::string bytes, entry;
  } cases[] = {
      {"lone CRs are left out up to the first LF", "Fran\rcais\rL1\rL2\nrest", "FrancaisL1L2"},
      {"Ctrl-Z ends the name", "Ital\x1A" "iano\r\n", "Ital"},
      {"a byte-order mark stays", "\xEF\xBB\xBF" "Espa\xF1ol\r\n", "\xEF\xBB\xBF" "Espa\xF1ol"},
      {"an empty first line", "\r\nL1\r\n", ""},
      {"an empty file", "", ""},
  };
  for (const auto& c : cases) {
    App app;
    app.machine.Write("D:\\ZenTrovia\\languages\\english.txt", c.bytes);
    app.driver.Show();
    app.driver.FocusLanguageBox();
    EXPECT_EQ(app.view.Languages(), std::vector<std::string>{c.entry}) << c.what;
  }
}

TEST(LanguageChoice, LoadsThePackAndSetsTheCaptionsInOrder) {
  App app;
  app.machine.posix().SetCurrentDirectory("D:\\ZenTrovia");
  app.ToSearch();
  EXPECT_EQ(app.form.LanguageLines, FullPack());
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "D:\\ZenTrovia");
  const std::vector<std::string> expected = {
      "visible:PanelSeleccionIdioma=0", "enabled:PanelSeleccionIdioma=0", "line:L14",
      "caption:LabelBotonPSP=L2",       "caption:LabelInstalar=L3",       "caption:LabelDownload=L4",
      "caption:LabelSaveLocation=L5",   "caption:LabelSalir=L6",          "caption:LabelObservador=L7",
      "caption:LabelNombre=L8",         "caption:LabelLatitud=L9",        "caption:LabelLongitud=L10",
      "caption:LabelAltitud=L11",       "caption:LabelTimezone=L12",      "caption:LabelDST=L13",
      "caption:LabelCalSky=L26"};
  std::vector<std::string> log = app.view.Log();
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<long>(expected.size()), log.end()), expected);
  // The language can't be changed again.
  EXPECT_FALSE(app.driver.FocusLanguageBox());
  EXPECT_FALSE(app.driver.Choose(0));
}

TEST(LanguageChoice, AnEmptyDisplayNameCanBeChosen) {
  App app;
  std::vector<std::string> pack = FullPack();
  pack[0] = "";
  app.machine.WritePack("english.txt", pack);
  app.ToSearch();
  EXPECT_EQ(app.view.Languages(), std::vector<std::string>{""});
  EXPECT_EQ(app.view.Lines(), std::vector<std::string>{"L14"});
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelDetectarPSP);
}

TEST(LanguageChoice, NothingChosenDoesNothing) {
  App app;
  app.driver.Show();
  app.driver.FocusLanguageBox();
  app.view.ClearLog();
  app.form.ComboLanguagesSelect(C::ComboLanguages);  // index -1
  EXPECT_TRUE(app.view.Log().empty());
  EXPECT_TRUE(app.form.LanguageLines.empty());
}

TEST(LanguageChoice, ShortPacksStopAtTheFirstMissingLine) {
  const struct {
    std::size_t lines;
    const char* error;  // "" for none
    bool greeting;
    std::string calsky;
  } cases[] = {
      {14, "List index out of bounds (14)", false, Info(C::LabelCalSky).text},
      {20, "List index out of bounds (26)", true, Info(C::LabelCalSky).text},
      {26, "List index out of bounds (26)", true, Info(C::LabelCalSky).text},
      {27, "", true, "L26"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    App app;
    std::vector<std::string> pack = FullPack();
    pack.resize(c.lines);
    app.machine.WritePack("english.txt", pack);
    app.ToSearch();
    // The panel is hidden in every case: the window is in Search.
    EXPECT_FALSE(app.view.Visible(C::PanelSeleccionIdioma));
    EXPECT_EQ(app.driver.FrontStrip(), C::PanelDetectarPSP);
    if (*c.error) {
      ASSERT_EQ(app.view.Errors().size(), 1u);
      EXPECT_EQ(app.view.Errors()[0].text, c.error);
    } else {
      EXPECT_TRUE(app.view.Errors().empty());
    }
    EXPECT_EQ(app.view.Lines().size(), c.greeting ? 1u : 0u);
    EXPECT_EQ(app.view.Caption(C::LabelBotonPSP), c.greeting ? "L2" : "Buscar PSP");
    EXPECT_EQ(app.view.Caption(C::LabelCalSky), c.calsky);
  }
}

TEST(LanguageFailures, MissingFolderIsFileNotFound) {
  App app;
  app.machine.posix().SetCurrentDirectory("D:\\");  // no "languages" here
  app.driver.Show();
  app.driver.FocusLanguageBox();
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].caption, "ZenTrovia Updater");
  EXPECT_EQ(app.view.Errors()[0].text, "File not found.");
  EXPECT_TRUE(app.view.Languages().empty());
  EXPECT_EQ(app.driver.ScreenShows(), C::PanelSeleccionIdioma);
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "D:\\");
}

TEST(LanguageFailures, AFailedListingKeepsEarlierEntriesAndTheDirectory) {
  App app;
  app.machine.WritePack("second.txt", {"Second"});
  app.driver.Show();
  app.driver.FocusLanguageBox();
  ASSERT_EQ(app.view.Languages().size(), 2u);
  // Fail the second pack's open: change directory, search, open, read, close, open.
  app.faults.FailAt(6, false, kErrorSharingViolation);
  app.driver.FocusLanguageBox();
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].text, "I/O error 32.");
  EXPECT_EQ(app.view.Languages().size(), 1u);
  EXPECT_EQ(app.form.LanguageFiles.size(), 1u);
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "D:\\ZenTrovia");
  // The next focus lists both again, and a choice works.
  app.faults.Off();
  app.driver.FocusLanguageBox();
  EXPECT_EQ(app.view.Languages().size(), 2u);
  int english = app.view.Languages()[0] == "English" ? 0 : 1;
  EXPECT_TRUE(app.driver.Choose(english));
  EXPECT_EQ(app.form.LanguageLines, FullPack());
}

TEST(LanguageFailures, APackGoneSinceTheListingCantBeOpened) {
  App app;
  app.driver.Show();
  app.driver.FocusLanguageBox();
  std::string pack = *app.machine.Read("D:\\ZenTrovia\\languages\\english.txt");
  app.machine.Remove("D:\\ZenTrovia\\languages\\english.txt");
  app.driver.Choose(0);
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].text,
            "Cannot open file \"D:\\ZenTrovia\\languages\\english.txt\". "
            "The system cannot find the file specified.");
  EXPECT_TRUE(app.form.LanguageLines.empty());
  EXPECT_TRUE(app.view.Visible(C::PanelSeleccionIdioma));
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "D:\\ZenTrovia");
  // Put back, the same choice now succeeds.
  app.machine.Write("D:\\ZenTrovia\\languages\\english.txt", pack);
  EXPECT_TRUE(app.driver.Choose(0));
  EXPECT_EQ(app.view.Lines(), std::vector<std::string>{"L14"});
}

TEST(LanguageChoice, PacksComeFromTheCurrentDirectoryAndThePackageFromTheProgramFolder) {
  App app;
  std::vector<std::string> pack = FullPack();
  pack[0] = "Mine";
  pack[1] = "mypkg";
  app.machine.WritePack("english.txt", {"not this one"});
  app.machine.Write("C:\\Work\\languages\\mine.txt", [&] {
    std::string t;
    for (const auto& l : pack) t += l + "\n";
    return t;
  }());
  ASSERT_EQ(app.machine.posix().SetCurrentDirectory("C:\\Work"), 0);
  app.machine.WriteStick('E');
  for (const auto& name : PackageFiles())
    app.machine.Write("D:\\ZenTrovia\\mypkg\\__SCE__Zentrovia" + name, "x");
  app.ToFound();
  EXPECT_EQ(app.view.Languages(), std::vector<std::string>{"Mine"});
  EXPECT_TRUE(app.driver.Click(C::LabelInstalar));
  EXPECT_TRUE(app.view.Errors().empty());
  EXPECT_EQ(app.machine.Read("E:\\PSP\\GAME\\Zentrovia\\EBOOT.PBP"), "x");
  EXPECT_EQ(app.machine.posix().CurrentDirectory(), "C:\\Work");
}

}  // namespace
}  // namespace zt
