// The element-set downloads and the update stamp, with scripted answers.
#include <gtest/gtest.h>

#include "fixtures.h"

namespace zt {
namespace {

using C = Component;
using on_stick::kVisual;
using on_stick::kIridium;
using on_stick::kStamp;
const std::string kTarget = "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle\\\\visual.tle";

// A window whose stick holds an installation with earlier downloads.
struct Stick : App {
  Stick() {
    machine.WriteStick('E');
    machine.WriteInstalled('E');
    machine.Write(kVisual, "old visual");
    machine.Write(kIridium, "old iridium");
    machine.Write(kStamp, "2454000.5\r\n");
    ToFound();
  }
  bool Download(const FakeResponse* answer) {
    if (answer) internet.responses[kVisualUrl] = *answer;
    return DownloadFile(kVisualUrl, kTarget);
  }
  void ExpectNoLeftovers() {
    EXPECT_FALSE(machine.Exists(std::string(kVisual) + ".part"));
    EXPECT_EQ(internet.opened, internet.closed);
  }
};

TEST(DownloadFile, StoresOnlyWholeElementSetsAnsweredWith200) {
  const std::string set = ElementSet(4);
  const std::string page = "<html><body>Not Found</body></html>\n";
  const struct {
    const char* what;
    bool reachable;
    FakeResponse answer;
    bool ok;
  } cases[] = {
      {"a good element set", true, {200, set}, true},
      {"404 with an HTML page", true, {404, page}, false},
      {"404 with an element set", true, {404, set}, false},
      {"200 with an HTML page", true, {200, page}, false},
      {"an empty body", true, {200, ""}, false},
      {"a read failing half-way", true, {200, set, set.size() / 2}, false},
      {"a read failing at once", true, {200, set, 0}, false},
      {"a server that can't be reached", false, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Stick stick;
    EXPECT_EQ(stick.Download(c.reachable ? &c.answer : nullptr), c.ok);
    EXPECT_EQ(stick.machine.Read(kVisual), c.ok ? c.answer.body : "old visual");
    stick.ExpectNoLeftovers();
  }
}

TEST(DownloadFile, ABodyOfOneBufferTakesTwoReads) {
  Stick stick;
  FakeResponse answer{200, ElementSetOfSize(kDownloadBufferSize)};
  ASSERT_EQ(answer.body.size(), 10241u);
  EXPECT_TRUE(stick.Download(&answer));
  EXPECT_EQ(stick.internet.reads, 2);
  EXPECT_EQ(stick.machine.Read(kVisual), answer.body);
}

TEST(DownloadFile, AMissingFolderFailsBeforeAnyNetworkActivity) {
  Stick stick;
  stick.machine.Remove("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle");
  FakeResponse answer{200, ElementSet(1)};
  EXPECT_FALSE(stick.Download(&answer));
  EXPECT_TRUE(stick.internet.requests.empty());
  EXPECT_EQ(stick.internet.opened, 0);
}

TEST(DownloadFile, AnyFailingStepKeepsTheOldFile) {
  // create, open, open URL, read, write, read (end), close, replace
  for (long n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    Stick stick;
    stick.internet.responses[kVisualUrl] = {200, ElementSet(3)};
    stick.faults.FailAt(n, false);
    EXPECT_FALSE(DownloadFile(kVisualUrl, kTarget));
    EXPECT_EQ(stick.faults.failures(), 1);
    EXPECT_EQ(stick.machine.Read(kVisual), "old visual");
    stick.ExpectNoLeftovers();
  }
}

TEST(Update, BothSetsThenTheStamp) {
  Stick stick;
  stick.SaveLocation();
  stick.internet.responses[kVisualUrl] = {200, ElementSet(2)};
  stick.internet.responses[kIridiumUrl] = {200, ElementSet(5, 24793)};
  stick.view.ClearLog();
  ASSERT_TRUE(stick.driver.Click(C::LabelDownload));
  EXPECT_EQ(stick.machine.Read(kVisual), ElementSet(2));
  EXPECT_EQ(stick.machine.Read(kIridium), ElementSet(5, 24793));
  // 1 January 2008, 18:00 local time, under a locale with a decimal comma.
  EXPECT_EQ(stick.machine.Read(kStamp), "2454467.25\r\n");
  EXPECT_EQ(stick.view.Log(),
            (std::vector<std::string>{"line:L18", "repaint", "pause:1000", "line: \xB7 visual.tle",
                                      "line: \xB7 iridium.tle", "line:L19", "repaint",
                                      "pause:1000", "visible:LabelDownload=0"}));
  EXPECT_FALSE(stick.machine.Exists("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\update_temp.txt"));
}

TEST(Update, AFailedFirstSetTouchesNothingElse) {
  Stick stick;
  stick.SaveLocation();
  stick.internet.responses[kVisualUrl] = {503, "busy"};
  stick.internet.responses[kIridiumUrl] = {200, ElementSet(5)};
  stick.view.ClearLog();
  ASSERT_TRUE(stick.driver.Click(C::LabelDownload));
  EXPECT_EQ(stick.internet.requests.count(kIridiumUrl), 0u);
  EXPECT_EQ(stick.view.Log(), (std::vector<std::string>{"line:L18", "repaint", "pause:1000",
                                                        "line:L20", "pause:1000", "repaint"}));
  EXPECT_EQ(stick.machine.Read(kVisual), "old visual");
  EXPECT_EQ(stick.machine.Read(kIridium), "old iridium");
  EXPECT_EQ(stick.machine.Read(kStamp), "2454000.5\r\n");
  EXPECT_TRUE(stick.driver.Reachable(C::LabelDownload));
}

TEST(Update, AStampThatCantBeWrittenIsReportedAndKeepsTheButton) {
  Stick stick;
  stick.SaveLocation();
  stick.internet.responses[kVisualUrl] = {200, ElementSet(2)};
  stick.internet.responses[kIridiumUrl] = {200, ElementSet(2)};
  stick.machine.Remove("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\update.txt");
  stick.machine.MakeFolder("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\update_temp.txt");
  ASSERT_TRUE(stick.driver.Click(C::LabelDownload));
  ASSERT_EQ(stick.view.Errors().size(), 1u);
  EXPECT_NE(stick.view.Lines().back(), "L19");
  EXPECT_TRUE(stick.driver.Reachable(C::LabelDownload));
  EXPECT_FALSE(stick.machine.Exists(kStamp));
}

TEST(Update, TheStampFollowsTheLocalClock) {
  const struct {
    LocalTime now;
    const char* stamp;
  } cases[] = {
      {{2008, 1, 1, 12, 0, 0, 0}, "2454467\r\n"},
      {{2008, 1, 1, 0, 0, 0, 0}, "2454466.5\r\n"},
      {{2008, 1, 1, 0, 0, 1, 0}, "2454466.50001157\r\n"},
  };
  for (const auto& c : cases) {
    Stick stick;
    stick.SaveLocation();
    stick.internet.now = c.now;
    stick.internet.responses[kVisualUrl] = {200, ElementSet(1)};
    stick.internet.responses[kIridiumUrl] = {200, ElementSet(1)};
    stick.driver.Click(C::LabelDownload);
    EXPECT_EQ(stick.machine.Read(kStamp), c.stamp);
  }
}

}  // namespace
}  // namespace zt
