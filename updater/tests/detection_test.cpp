// Finding the memory stick.
#include <gtest/gtest.h>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;

// Records the paths whose attributes were asked for.
class AttributeLog : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  std::vector<std::string> asked;
  std::uint32_t FileAttributes(const std::string& p) override {
    asked.push_back(p);
    return target().FileAttributes(p);
  }
};

TEST(Detection, TriesCToZAndKeepsTheFirstGameFolder) {
  const struct {
    const char* folders;  // letters with \PSP\GAME as a folder
    const char* files;    // letters with a file named GAME under \PSP
    char found;           // 0: none
  } cases[] = {
      {"C", "", 'C'},   {"HF", "", 'F'}, {"Z", "", 'Z'}, {"AB", "", 0},
      {"G", "D", 'G'},  {"", "E", 0},    {"", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("folders ") + c.folders + ", files " + c.files);
    Machine m;
    for (const char* l = c.folders; *l; ++l) m.MakeFolder(std::string(1, *l) + ":\\PSP\\GAME");
    for (const char* l = c.files; *l; ++l) m.Write(std::string(1, *l) + ":\\PSP\\GAME", "file");
    m.WritePack("english.txt", FullPack());
    AttributeLog log(m.posix());
    ModelView view;
    TForm1 form(view, log);
    Driver driver(view, form);
    driver.Show(), driver.FocusLanguageBox(), driver.Choose(0);
    ASSERT_TRUE(driver.Click(C::LabelBotonPSP));
    std::vector<std::string> tried;
    for (char l = 'C'; l <= (c.found ? c.found : 'Z'); ++l)
      tried.push_back(std::string(1, l) + ":\\\\PSP\\\\GAME");
    if (c.found) tried.push_back(std::string(1, c.found) + ":\\\\PSP\\\\GAME\\\\Zentrovia");
    EXPECT_EQ(log.asked, tried);
    EXPECT_EQ(form.DriveLetter, c.found ? std::string(1, c.found) : "");
    EXPECT_EQ(view.Lines().back(), c.found ? "L16 " + std::string(1, c.found) + ":" : "L17");
    EXPECT_TRUE(view.Errors().empty());
  }
}

TEST(Detection, FieldsAreBuiltFromTheLetterWithTheirSeparators) {
  App app;
  app.machine.WriteStick('E');
  app.ToFound();
  EXPECT_EQ(app.form.DriveLetter, "E");
  EXPECT_EQ(app.form.GameFolder, "E:\\PSP\\GAME");
  EXPECT_EQ(app.form.GameFolder.size(), 11u);
  EXPECT_EQ(app.form.AppDataFolder, "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia");
  EXPECT_EQ(app.form.AppDataFolder.size(), 35u);
  EXPECT_EQ(app.form.TleFolder, "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle");
  EXPECT_EQ(app.form.TleFolder.size(), 40u);
  // Line, pause, line, pause; then the install strip.
  EXPECT_EQ(app.view.Pauses(), (std::vector<unsigned>{1000, 1000}));
}

TEST(Detection, ANewSearchWithoutStickKeepsTheEarlierFields) {
  App app;
  app.machine.WriteStick('F');
  app.ToFound();
  app.machine.Remove("F:");
  // The search strip is behind the install strip now, so run the handler
  // itself, as a repeated search would.
  app.form.LabelBotonPSPClick(C::LabelBotonPSP);
  EXPECT_EQ(app.view.Lines().back(), "L17");
  EXPECT_EQ(app.form.DriveLetter, "F");
  EXPECT_EQ(app.form.TleFolder, "F:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle");
}

TEST(Detection, AnApplicationFolderWithoutDataShowsTheFormUnchanged) {
  App app;
  app.machine.WriteStick('E');
  app.machine.MakeFolder("E:\\PSP\\GAME\\Zentrovia");
  app.ToFound();
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
  EXPECT_EQ(app.driver.ScreenShows(), C::PanelLocation);
  EXPECT_EQ(app.view.EditText(C::EditNombre), "Madrid");
  EXPECT_EQ(app.view.Pauses(), (std::vector<unsigned>{1000, 1000, 3000}));
}

}  // namespace
}  // namespace zt
