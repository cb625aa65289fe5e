// The screen flow: after each transition, which strip is in front, what the
// screen area shows, which lines were appended and which buttons a user can
// reach.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;

std::string L(int n) { return FullPack()[static_cast<std::size_t>(n)]; }

constexpr C kButtons[] = {C::LabelBotonPSP, C::LabelInstalar, C::LabelSaveLocation,
                          C::LabelDownload, C::LabelSalir};

void ServeElementSets(App& app, bool visual, bool iridium) {
  if (visual) app.internet.responses[kVisualUrl] = {200, ElementSet(2)};
  if (iridium) app.internet.responses[kIridiumUrl] = {200, ElementSet(3, 24793)};
}

void ToLocationForm(App& app) {
  app.machine.WriteStick('E');
  app.machine.WriteInstalled('E');
  app.ToFound();
}

void ToUpdateOffer(App& app) {
  ToLocationForm(app);
  app.SaveLocation();
}

struct Transition {
  const char* what;
  std::function<void(App&)> before;  // set-up and the walk to the state before the event
  std::function<void(App&)> event;
  std::vector<std::string> lines;    // appended by the event
  C strip, screen;
  std::set<C> reachable;
};

void Click(App& app, C label) { EXPECT_TRUE(app.driver.Click(label)) << Info(label).name; }

TEST(ScreenFlow, Transitions) {
  const std::string visual = " \xB7 visual.tle", iridium = " \xB7 iridium.tle";
  const Transition table[] = {
      {"a language is chosen", [](App& a) { a.driver.Show(), a.driver.FocusLanguageBox(); },
       [](App& a) { EXPECT_TRUE(a.driver.Choose(0)); }, {L(14)}, C::PanelDetectarPSP,
       C::Pantalla, {C::LabelBotonPSP, C::LabelSalir}},
      {"search finds no stick", [](App& a) { a.ToSearch(); },
       [](App& a) { Click(a, C::LabelBotonPSP); }, {L(15), L(17)}, C::PanelDetectarPSP,
       C::Pantalla, {C::LabelBotonPSP, C::LabelSalir}},
      {"search again finds no stick", [](App& a) { a.ToFound(); },
       [](App& a) { Click(a, C::LabelBotonPSP); }, {L(15), L(17)}, C::PanelDetectarPSP,
       C::Pantalla, {C::LabelBotonPSP, C::LabelSalir}},
      {"search finds the application",
       [](App& a) { a.machine.WriteStick('E'), a.machine.WriteInstalled('E'), a.ToSearch(); },
       [](App& a) { Click(a, C::LabelBotonPSP); }, {L(15), "L16 E:", L(24)},
       C::PanelLocation2, C::PanelLocation, {C::LabelSaveLocation, C::LabelSalir}},
      {"search finds a stick without it", [](App& a) { a.machine.WriteStick('E'), a.ToSearch(); },
       [](App& a) { Click(a, C::LabelBotonPSP); }, {L(15), "L16 E:"}, C::PanelInstalar,
       C::Pantalla, {C::LabelInstalar, C::LabelSalir}},
      {"installation succeeds",
       [](App& a) { a.machine.WriteStick('E'), a.machine.WritePackage(), a.ToFound(); },
       [](App& a) { Click(a, C::LabelInstalar); }, {L(21), L(22), L(24), L(27)},
       C::PanelLocation2, C::PanelLocation, {C::LabelSaveLocation, C::LabelSalir}},
      {"installation fails", [](App& a) { a.machine.WriteStick('E'), a.ToFound(); },
       [](App& a) { Click(a, C::LabelInstalar); }, {L(21), L(23), L(27)}, C::PanelInstalar,
       C::Pantalla, {C::LabelInstalar, C::LabelSalir}},
      {"location saved", ToLocationForm, [](App& a) { Click(a, C::LabelSaveLocation); },
       {L(22), L(25)}, C::PanelActualizar, C::Pantalla, {C::LabelDownload, C::LabelSalir}},
      {"update succeeds", [](App& a) { ToUpdateOffer(a), ServeElementSets(a, true, true); },
       [](App& a) { Click(a, C::LabelDownload); }, {L(18), visual, iridium, L(19)},
       C::PanelActualizar, C::Pantalla, {C::LabelSalir}},
      {"first set fails", [](App& a) { ToUpdateOffer(a), ServeElementSets(a, false, true); },
       [](App& a) { Click(a, C::LabelDownload); }, {L(18), L(20)}, C::PanelActualizar,
       C::Pantalla, {C::LabelDownload, C::LabelSalir}},
      {"second set fails", [](App& a) { ToUpdateOffer(a), ServeElementSets(a, true, false); },
       [](App& a) { Click(a, C::LabelDownload); }, {L(18), visual, L(20)}, C::PanelActualizar,
       C::Pantalla, {C::LabelDownload, C::LabelSalir}},
  };
  for (const Transition& t : table) {
    SCOPED_TRACE(t.what);
    App app;
    t.before(app);
    std::size_t before = app.view.Lines().size();
    t.event(app);
    std::vector<std::string> added(app.view.Lines().begin() + static_cast<long>(before),
                                   app.view.Lines().end());
    EXPECT_EQ(added, t.lines);
    EXPECT_EQ(app.driver.FrontStrip(), t.strip);
    EXPECT_EQ(app.driver.ScreenShows(), t.screen);
    for (C label : kButtons)
      EXPECT_EQ(app.driver.Reachable(label), t.reachable.count(label) == 1) << Info(label).name;
    EXPECT_TRUE(app.view.Errors().empty());
    // Exit works from every state but the language choice, and ends the run.
    EXPECT_TRUE(app.driver.Click(C::LabelSalir));
    EXPECT_TRUE(app.view.Closed());
    EXPECT_FALSE(app.driver.Click(C::LabelBotonPSP));
  }
}

TEST(ScreenFlow, StartsInLanguageChoiceWhereOnlyTheLanguageBoxReacts) {
  App app;
  app.driver.Show();
  EXPECT_EQ(app.form.ProgramFolder, "D:\\ZenTrovia\\");
  EXPECT_EQ(app.driver.ScreenShows(), C::PanelSeleccionIdioma);
  EXPECT_EQ(app.driver.FrontStrip(), C::Form1);
  for (C label : kButtons) EXPECT_FALSE(app.driver.Click(label)) << Info(label).name;
  // Under the language panel: the memo over the location form, the search
  // strip over the other strips.
  const auto& s = app.view.Stacking();
  EXPECT_EQ(s.front(), C::ImagePSP);
  EXPECT_EQ(s.back(), C::PanelSeleccionIdioma);
  EXPECT_GT(app.view.Layer(C::Pantalla), app.view.Layer(C::PanelLocation));
  for (C strip : {C::PanelLocation2, C::PanelActualizar, C::PanelInstalar})
    EXPECT_GT(app.view.Layer(C::PanelDetectarPSP), app.view.Layer(strip));
  EXPECT_EQ(app.view.Caption(C::LabelBotonPSP), "Buscar PSP");
  EXPECT_TRUE(app.view.Lines().empty());
  EXPECT_FALSE(app.view.Closed());
}

// Reports a chosen program file name.
class ProgramAt : public PlatformWrapper {
 public:
  ProgramAt(Platform& target, std::string file) : PlatformWrapper(target), file_(std::move(file)) {}
  std::string ProgramFileName() override { return file_; }

 private:
  std::string file_;
};

TEST(ScreenFlow, ProgramFolderKeepsItsLastBackslash) {
  const struct {
    const char* file;
    const char* folder;
  } cases[] = {
      {"D:\\ZenTrovia\\ZenTroviaUpdater.exe", "D:\\ZenTrovia\\"},
      {"E:\\Updater.exe", "E:\\"},
      {"C:\\a b\\c.d\\x.exe", "C:\\a b\\c.d\\"},
  };
  Machine m;
  for (const auto& c : cases) {
    ProgramAt program(m.posix(), c.file);
    ModelView view;
    TForm1 form(view, program);
    Driver(view, form).Show();
    EXPECT_EQ(form.ProgramFolder, c.folder);
  }
}

TEST(ScreenFlow, OnlyTheButtonInFrontReacts) {
  App app;
  app.ToSearch();
  // Labels without handlers and components that are no labels don't react.
  EXPECT_FALSE(app.driver.Click(C::LabelObservador));
  EXPECT_FALSE(app.driver.Click(C::PanelDetectarPSP));
  // Strips behind the front one can't be reached.
  EXPECT_FALSE(app.driver.Click(C::LabelInstalar));
  EXPECT_TRUE(app.view.Lines().size() == 1 && app.view.Errors().empty());
}

TEST(ScreenFlow, AfterSavingTheLocationFormCantComeBack) {
  App app;
  ToUpdateOffer(app);
  // A failed update leaves the update offer, the location form stays away.
  Click(app, C::LabelDownload);
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelActualizar);
  EXPECT_FALSE(app.driver.Reachable(C::LabelSaveLocation));
  EXPECT_EQ(app.view.Layer(C::PanelLocation), 0);
  // A repeated click tries the update again.
  ServeElementSets(app, true, true);
  Click(app, C::LabelDownload);
  EXPECT_FALSE(app.view.Visible(C::LabelDownload));
  EXPECT_TRUE(app.view.Visible(C::PanelActualizar));
  EXPECT_EQ(app.driver.FrontStrip(), C::PanelActualizar);
}

}  // namespace
}  // namespace zt
