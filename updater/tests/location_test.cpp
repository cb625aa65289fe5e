// Loading and saving the observer location file.
#include <gtest/gtest.h>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;
using on_stick::kLocation;

struct Form {
  std::string lat, lon, alt, off, nam;
  bool dst;
};

Form Read(ModelView& v) {
  return {v.EditText(C::EditLat),    v.EditText(C::EditLon),    v.EditText(C::EditAlt),
          v.EditText(C::EditOffset), v.EditText(C::EditNombre), v.Checked(C::CheckBoxVerano)};
}

void ExpectForm(ModelView& v, const Form& f) {
  Form got = Read(v);
  EXPECT_EQ(got.lat, f.lat);
  EXPECT_EQ(got.lon, f.lon);
  EXPECT_EQ(got.alt, f.alt);
  EXPECT_EQ(got.off, f.off);
  EXPECT_EQ(got.nam, f.nam);
  EXPECT_EQ(got.dst, f.dst);
}

// The location form after a search that finds a stick holding `file`.
void LoadFile(App& app, const std::string& file) {
  app.machine.WriteStick('E');
  app.machine.WriteInstalled('E');
  app.machine.Write(kLocation, file);
  app.ToFound();
}

TEST(Location, LoadsKeysByPrefix) {
  const Form defaults{"40.43", "-3.64", "655", "1", "Madrid", false};
  const struct {
    const char* what;
    std::string file;
    Form form;
  } cases[] = {
      {"LF", "lat=1\nlon=2\nalt=3\noff=4\nnam=Here\ndst=true\n", {"1", "2", "3", "4", "Here", true}},
      {"CR LF", "lat=1\r\nlon=2\r\nalt=3\r\noff=4\r\nnam=Here\r\ndst=true\r\n",
       {"1", "2", "3", "4", "Here", true}},
      {"Ctrl-Z ends the data", "lat=1\n\x1Alon=2\n", {"1", "-3.64", "655", "1", "Madrid", false}},
      {"upper-case keys are no keys", "LAT=9\nNam=X\n", defaults},
      {"a blank after = stays", "lat= 40.4\n", {" 40.4", "-3.64", "655", "1", "Madrid", false}},
      {"dst=true is a prefix", "dst=trueish\n", {"40.43", "-3.64", "655", "1", "Madrid", true}},
      {"other dst values leave the box", "dst=true\ndst=1\ndst=TRUE\ndst=yes\n",
       {"40.43", "-3.64", "655", "1", "Madrid", true}},
      {"dst=false clears", "dst=true\ndst=false\n", defaults},
      {"any order, comments, repeats", "# comment\nnam=A\nlat=5\nnam=B\nlat=6\n",
       {"6", "-3.64", "655", "1", "B", false}},
      {"empty values", "nam=\nalt=\n", {"40.43", "-3.64", "", "1", "", false}},
      {"long values are taken whole", "nam=ABCDEFGHIJKLMNOPQRST\n",
       {"40.43", "-3.64", "655", "1", "ABCDEFGHIJKLMNOPQRST", false}},
      {"empty file", "", defaults},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    App app;
    LoadFile(app, c.file);
    ExpectForm(app.view, c.form);
    EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
    EXPECT_TRUE(app.view.Errors().empty());
  }
}

TEST(Location, AFolderNamedLikeTheFileIsNoFile) {
  App app;
  app.machine.WriteStick('E');
  app.machine.WriteInstalled('E');
  app.machine.Remove(kLocation);
  app.machine.MakeFolder(kLocation);
  app.ToFound();
  ExpectForm(app.view, {"40.43", "-3.64", "655", "1", "Madrid", false});
  EXPECT_TRUE(app.view.Errors().empty());
}

TEST(Location, SavesSixLinesInFileOrderAndRoundTripsByteForByte) {
  App app;
  const std::string written = "lat=52,5\nlon=13.4\nalt=34\noff=+1\nnam=ABCDEFGHIJKLMNOPQRST\ndst=true\n";
  LoadFile(app, written);
  app.view.ClearLog();
  app.SaveLocation();
  EXPECT_EQ(app.machine.Read(kLocation), written);
  EXPECT_EQ(app.view.Log(), (std::vector<std::string>{"front:PanelActualizar", "back:PanelLocation",
                                                      "line:L22", "line:L25", "pause:1000"}));
  EXPECT_FALSE(app.machine.Exists("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\location_temp.txt"));

  // Edited values, an unticked box and an empty name.
  App other;
  LoadFile(other, "");
  other.view.SetEditText(C::EditNombre, "");
  other.view.SetEditText(C::EditLat, "40,43");
  other.SaveLocation();
  EXPECT_EQ(other.machine.Read(kLocation), "lat=40,43\nlon=-3.64\nalt=655\noff=1\nnam=\ndst=false\n");
}

TEST(Location, ASaveThatFailsKeepsTheOldFileAndTheScreen) {
  App app;
  const std::string old = "lat=1\nlon=2\nalt=3\noff=4\nnam=Old\ndst=false\n";
  LoadFile(app, old);
  app.view.SetEditText(C::EditNombre, "New");
  std::size_t lines = app.view.Lines().size();
  // create, write, close, replace: each failing leaves the old file.
  for (long n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    app.faults.FailAt(n, false, kErrorHandleDiskFull);
    ASSERT_TRUE(app.driver.Click(C::LabelSaveLocation));
    EXPECT_EQ(app.machine.Read(kLocation), old);
    EXPECT_EQ(app.view.Errors().size(), static_cast<std::size_t>(n));
    EXPECT_EQ(app.view.Lines().size(), lines);
    EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
  }
  EXPECT_EQ(app.view.Errors()[0].text, "I/O error 39.");
  app.faults.Off();
  ASSERT_TRUE(app.driver.Click(C::LabelSaveLocation));
  EXPECT_EQ(app.machine.Read(kLocation), "lat=1\nlon=2\nalt=3\noff=4\nnam=New\ndst=false\n");
}

TEST(Location, AMissingDataFolderFailsTheSave) {
  App app;
  app.machine.WriteStick('E');
  app.machine.MakeFolder("E:\\PSP\\GAME\\Zentrovia");
  app.ToFound();
  app.SaveLocation();
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelLocation2);
  EXPECT_FALSE(app.machine.Exists(kLocation));
}

TEST(Location, AReadErrorLeavesTheSearchStateWithLine24) {
  App app;
  app.machine.WriteStick('E');
  app.machine.WriteInstalled('E');
  app.machine.Write(kLocation, "nam=First\nlat=9\n");
  app.ToSearch();
  // Attributes are no faults here; fail the location file's open.
  app.faults.FailAt(1, false, kErrorAccessDenied);
  app.driver.Click(C::LabelBotonPSP);
  ASSERT_EQ(app.view.Errors().size(), 1u);
  EXPECT_EQ(app.view.Errors()[0].text, "File access denied.");
  EXPECT_EQ(app.view.Lines().back(), "L24");
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelDetectarPSP);
  EXPECT_EQ(app.driver.ScreenShows(), C::Pantalla);
}

}  // namespace
}  // namespace zt
