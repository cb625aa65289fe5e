// Walks a fault through every platform operation of a flow: for N = 1, 2, ...
// the Nth operation fails (once, or with every operation after it), until
// the flow completes without reaching the fault. After each run, with faults
// off: every file the user had is either as it was or wholly the new
// content, never missing or partial; the failure was reported; and the
// window is in the state the flow promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;
using on_stick::kBookmarks;
using on_stick::kLocation;
using on_stick::kVisual;
using on_stick::kIridium;
using on_stick::kStamp;
const std::string kOldLocation = "lat=1\nlon=2\nalt=3\noff=4\nnam=Mine\ndst=true\n";

struct Outcome {
  App& app;
  std::size_t lines_before;
  bool Shown(int n) const { return ShownText(FullPack()[static_cast<std::size_t>(n)]); }
  bool ShownText(const std::string& text) const {
    const auto& l = app.view.Lines();
    return std::find(l.begin() + static_cast<long>(lines_before), l.end(), text) != l.end();
  }
  bool Reported() const { return !app.view.Errors().empty(); }
};

// The file holds one of the allowed contents.
void ExpectOneOf(Machine& m, const std::string& path, const std::vector<std::string>& allowed) {
  std::optional<std::string> now = m.Read(path);
  ASSERT_TRUE(now.has_value()) << path << " is missing";
  EXPECT_NE(std::find(allowed.begin(), allowed.end(), *now), allowed.end())
      << path << " holds \"" << *now << "\"";
}

void FaultLoop(const std::function<void(App&)>& setup, const std::function<void(App&)>& act,
               const std::function<void(Outcome&, bool reached)>& check) {
  for (bool persistent : {false, true}) {
    for (long n = 1;; ++n) {
      SCOPED_TRACE(std::string(persistent ? "every operation from " : "operation ") +
                   std::to_string(n));
      App app;
      setup(app);
      Outcome run{app, app.view.Lines().size()};
      app.faults.FailAt(n, persistent);
      act(app);
      bool reached = app.faults.failures() > 0;
      app.faults.Off();
      check(run, reached);
      if (!reached || ::testing::Test::HasFatalFailure()) break;
      ASSERT_LT(n, 1000) << "the flow never completes";
    }
  }
}

// The bookmark file as a faultless run leaves it.
std::string Rewritten(const std::function<void(App&)>& setup, const std::function<void(App&)>& act) {
  App app;
  setup(app);
  act(app);
  return app.machine.Read(kBookmarks).value_or("");
}

TEST(FaultLoop, Installation) {
  auto setup = [](App& app) {
    app.machine.WriteStick('E');
    app.machine.WritePackage();
    app.ToFound();
  };
  auto act = [](App& app) { app.driver.Click(C::LabelInstalar); };
  const std::string fresh = Rewritten(setup, act);
  ASSERT_NE(fresh, Machine::kBookmarks);
  FaultLoop(setup, act, [&](Outcome& run, bool reached) {
    Machine& m = run.app.machine;
    ExpectOneOf(m, kBookmarks, {Machine::kBookmarks, fresh});
    C strip = run.app.driver.FrontStrip();
    if (!reached) {
      EXPECT_TRUE(run.Shown(22) && run.Shown(27) && !run.Reported());
      EXPECT_EQ(strip, C::PanelLocation2);
      ExpectOneOf(m, kLocation, {kPackageLocation});
      return;
    }
    EXPECT_TRUE(run.Shown(23) || run.Reported());
    // The location form shows only after every step succeeded.
    if (strip == C::PanelLocation2) EXPECT_TRUE(run.Shown(22) && !run.Shown(23));
    else EXPECT_EQ(strip, C::PanelInstalar);
    // What was copied is whole.
    for (const auto& name : PackageFiles()) {
      std::string path = "E:\\PSP\\GAME\\Zentrovia" + name;
      if (m.Exists(path)) ExpectOneOf(m, path, {*m.Read("D:\\ZenTrovia\\pkg_en\\__SCE__Zentrovia" + name)});
    }
  });
}

TEST(FaultLoop, LocationSave) {
  auto setup = [](App& app) {
    app.machine.WriteStick('E');
    app.machine.WriteInstalled('E');
    app.machine.Write(kLocation, kOldLocation);
    app.ToFound();
    app.view.SetEditText(C::EditNombre, "Changed");
  };
  const std::string saved = "lat=1\nlon=2\nalt=3\noff=4\nnam=Changed\ndst=true\n";
  FaultLoop(setup, [](App& app) { app.SaveLocation(); }, [&](Outcome& run, bool reached) {
    if (!reached) {
      ExpectOneOf(run.app.machine, kLocation, {saved});
      EXPECT_TRUE(run.Shown(22) && run.Shown(25));
      EXPECT_EQ(run.app.driver.FrontStrip(), C::PanelActualizar);
      return;
    }
    // A failed save reports, keeps the old file whole and the form in front.
    ExpectOneOf(run.app.machine, kLocation, {kOldLocation});
    EXPECT_TRUE(run.Reported());
    EXPECT_FALSE(run.Shown(22));
    EXPECT_EQ(run.app.driver.FrontStrip(), C::PanelLocation2);
  });
}

TEST(FaultLoop, Update) {
  const std::string visual = ElementSet(80), iridium = ElementSet(70, 24793);  // several reads each
  auto setup = [&](App& app) {
    app.machine.WriteStick('E');
    app.machine.WriteInstalled('E');
    app.machine.Write(kVisual, "old visual");
    app.machine.Write(kIridium, "old iridium");
    app.machine.Write(kStamp, "2454000.5\r\n");
    app.machine.Remove(kLocation);
    app.ToFound();
    app.SaveLocation();
    app.internet.responses[kVisualUrl] = {200, visual};
    app.internet.responses[kIridiumUrl] = {200, iridium};
  };
  FaultLoop(setup, [](App& app) { app.driver.Click(C::LabelDownload); }, [&](Outcome& run, bool reached) {
    Machine& m = run.app.machine;
    ExpectOneOf(m, kVisual, {run.ShownText(" \xB7 visual.tle") ? visual : "old visual"});
    ExpectOneOf(m, kIridium, {run.ShownText(" \xB7 iridium.tle") ? iridium : "old iridium"});
    ExpectOneOf(m, kStamp, {"2454000.5\r\n", "2454467.25\r\n"});
    // Files the update doesn't write stay as they were.
    ExpectOneOf(m, kBookmarks, {Machine::kBookmarks});
    ExpectOneOf(m, kLocation, {"lat=40.43\nlon=-3.64\nalt=655\noff=1\nnam=Madrid\ndst=false\n"});
    bool finished = !run.app.view.Visible(C::LabelDownload);
    if (!reached) EXPECT_TRUE(finished && run.Shown(19));
    else EXPECT_TRUE(!finished && (run.Shown(20) || run.Reported()));
    EXPECT_EQ(finished, m.Read(kStamp) == "2454467.25\r\n");
    EXPECT_EQ(run.app.driver.FrontStrip(), C::PanelActualizar);
  });
}

TEST(FaultLoop, Bookmark) {
  for (bool linked : {false, true}) {
    SCOPED_TRACE(linked ? "already bookmarked" : "not yet bookmarked");
    const std::string before =
        linked ? "<DL><p>\r\n<DT><A HREF=\"http://www.zentrovia.net/\">ZenTrovia</A>\r\n</DL>\r\n"
               : Machine::kBookmarks;
    auto setup = [&](App& app) {
      app.machine.WriteStick('E', before);
      app.ToFound();
    };
    auto act = [](App& app) { Dispatch(app.view, [] { AddBrowserBookmark(); }); };
    const std::string fresh = Rewritten(setup, act);
    EXPECT_EQ(fresh == before, linked);
    FaultLoop(setup, act, [&](Outcome& run, bool reached) {
      ExpectOneOf(run.app.machine, kBookmarks, {before, fresh});
      if (!reached) EXPECT_TRUE(run.Shown(27) && !run.Reported());
      // A fault either is reported or, when it only hit the clean-up of an
      // unneeded copy, changes nothing the user sees.
      else EXPECT_TRUE(run.Reported() || (linked && run.Shown(27)));
      if (run.Reported()) ExpectOneOf(run.app.machine, kBookmarks, {before});
    });
  }
}

}  // namespace
}  // namespace zt
