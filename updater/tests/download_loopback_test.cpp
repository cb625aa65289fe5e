// The element-set download over real HTTP, against a loopback server that
// stands in for the element-set host.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures.h"
#include "updater/httptest/http_server.h"

namespace zt {
namespace {

using C = Component;
using on_stick::kVisual;
using on_stick::kIridium;
using testing::TestHttpServer;
constexpr const char* kVisualPath = "/NORAD/elements/visual.txt";
constexpr const char* kIridiumPath = "/NORAD/elements/iridium.txt";
const std::string kTarget = "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle\\\\visual.tle";

// The element-set host reached at the loopback server, a stick with an
// earlier download, and the window.
struct Loopback {
  TestHttpServer server;
  Machine machine{{{"celestrak.org:80", server.HostPort()}}};
  ModelView view;
  TForm1 form{view, machine.posix()};
  Loopback() {
    machine.WriteStick('E');
    machine.WriteInstalled('E');
    machine.Write(kVisual, "old visual");
    machine.Write(kIridium, "old iridium");
    form.TleFolder = "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle";
    form.AppDataFolder = "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia";
  }
};

TEST(DownloadOverHttp, StoresOnlyWholeElementSets) {
  const std::string set = ElementSet(30);
  const std::string page = "<html><body><h1>Not Found</h1></body></html>";
  const struct {
    const char* what;
    std::function<void(TestHttpServer&)> serve;
    std::string stored;  // "" when the old file must stay
  } cases[] = {
      {"a good element set", [&](TestHttpServer& s) { s.Serve(kVisualPath, 200, set); }, set},
      {"404 with an HTML page",
       [&](TestHttpServer& s) { s.Serve(kVisualPath, 404, page, "text/html"); }, ""},
      {"200 with an HTML page",
       [&](TestHttpServer& s) { s.Serve(kVisualPath, 200, page, "text/html"); }, ""},
      {"an empty body", [&](TestHttpServer& s) { s.Serve(kVisualPath, 200, ""); }, ""},
      {"a body of exactly one buffer",
       [&](TestHttpServer& s) { s.Serve(kVisualPath, 200, ElementSetOfSize(10241)); },
       ElementSetOfSize(10241)},
      {"a connection closed half-way",
       [&](TestHttpServer& s) { s.CloseAfter(kVisualPath, set, set.size() / 2); }, ""},
      {"a redirect to the set",
       [&](TestHttpServer& s) {
         s.Redirect(kVisualPath, "/moved/visual.txt");
         s.Serve("/moved/visual.txt", 200, set);
       },
       set},
      {"nothing at the path", [](TestHttpServer&) {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Loopback net;
    c.serve(net.server);
    EXPECT_EQ(DownloadFile(kVisualUrl, kTarget), !c.stored.empty());
    EXPECT_EQ(net.machine.Read(kVisual), c.stored.empty() ? "old visual" : c.stored);
    EXPECT_FALSE(net.machine.Exists(std::string(kVisual) + ".part"));
    ASSERT_FALSE(net.server.Requests().empty());
    EXPECT_EQ(net.server.Requests()[0].path, kVisualPath);
    EXPECT_EQ(net.server.Requests()[0].user_agent, "agent");
  }
}

TEST(DownloadOverHttp, ALargeSetStreamsThrough) {
  Loopback net;
  net.server.ServeGenerated(kVisualPath, 4 << 20);
  EXPECT_TRUE(DownloadFile(kVisualUrl, kTarget));
  EXPECT_GE(net.machine.Read(kVisual)->size(), (4u << 20) - 200);
}

TEST(DownloadOverHttp, NoServerIsAFailedUpdate) {
  Machine machine{{{"celestrak.org:80", "127.0.0.1:1"}}};
  machine.WriteStick('E');
  machine.WriteInstalled('E');
  machine.Write(kVisual, "old visual");
  ModelView view;
  TForm1 form(view, machine.posix());
  form.LanguageLines = FullPack();
  form.TleFolder = "E:\\\\PSP\\\\GAME\\\\Zentrovia\\\\ZenTrovia\\\\tle";
  Dispatch(view, [&] { form.LabelDownloadClick(C::LabelDownload); });
  EXPECT_EQ(view.Lines(), App::Lines({18, 20}));
  EXPECT_EQ(machine.Read(kVisual), "old visual");
}

TEST(DownloadOverHttp, TheWholeUpdate) {
  Loopback net;
  net.form.LanguageLines = FullPack();
  net.server.Serve(kVisualPath, 200, ElementSet(3));
  net.server.Serve(kIridiumPath, 200, ElementSet(66, 24793));
  Dispatch(net.view, [&] { net.form.LabelDownloadClick(C::LabelDownload); });
  EXPECT_TRUE(net.view.Errors().empty());
  EXPECT_EQ(net.view.Lines().back(), "L19");
  EXPECT_EQ(net.machine.Read(kIridium), ElementSet(66, 24793));
  std::string stamp = net.machine.Read("E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\update.txt").value_or("");
  // A present-day Julian Date: seven digits, a point, CR LF.
  EXPECT_EQ(stamp.substr(0, 2), "24");
  EXPECT_EQ(stamp.substr(stamp.size() - 2), "\r\n");
  EXPECT_EQ(stamp.find(','), std::string::npos);
}

}  // namespace
}  // namespace zt
