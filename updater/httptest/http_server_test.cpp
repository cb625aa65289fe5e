#include "http_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sstream>

#include "element_set_records.h"

namespace zt::testing {
namespace {

// "" when `text` is a valid element set, else what is wrong with it.
std::string CheckElementSet(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  std::size_t i = 0, pairs = 0;
  while (i < lines.size()) {
    if (lines[i].rfind("1 ", 0) != 0) ++i;  // the name line
    if (i + 1 >= lines.size()) return "a pair is cut short at line " + std::to_string(i);
    const std::string& one = lines[i];
    const std::string& two = lines[i + 1];
    if (one.rfind("1 ", 0) != 0 || two.rfind("2 ", 0) != 0) return "no pair at " + std::to_string(i);
    for (const std::string* line : {&one, &two}) {
      if (line->size() < 69) return "short line: " + *line;
      if ((*line)[68] - '0' != ElementLineChecksum(*line)) return "bad checksum: " + *line;
    }
    if (one.substr(2, 5) != two.substr(2, 5)) return "catalogue numbers differ: " + one;
    i += 2;
    ++pairs;
  }
  return pairs == 0 ? "no satellites" : "";
}

TEST(ElementSet, ChecksumCountsDigitsAndMinusSigns) {
  std::string line = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  292";
  EXPECT_EQ(ElementLineChecksum(line), 7);
  EXPECT_EQ(ElementLineChecksum(std::string(68, '-')), 8);
  EXPECT_EQ(ElementLineChecksum(std::string(68, 'A')), 0);
}

TEST(ElementSet, GeneratedSetsAreValidAndDeterministic) {
  std::string set = MakeElementSet(300);
  EXPECT_EQ(CheckElementSet(set), "");
  EXPECT_EQ(set.size(), 300 * kElementRecordSize);
  EXPECT_EQ(set, MakeElementSet(300));
  EXPECT_EQ(set.substr(0, kElementRecordSize), MakeElementSet(1));
  // Far records, as a 200 MB body reaches, keep their columns.
  for (std::size_t index : {99999u, 100000u, 1234567u}) {
    std::string record = ElementRecord(index);
    EXPECT_EQ(record.size(), kElementRecordSize) << index;
    EXPECT_EQ(CheckElementSet(record), "") << index;
  }
}

class TestHttpServerTest : public ::testing::Test {
 protected:
  httplib::Client Client() { return httplib::Client("127.0.0.1", server_.port()); }
  TestHttpServer server_;
};

TEST_F(TestHttpServerTest, ServesFixedAnswersAndLogsRequests) {
  server_.Serve("/page", 404, "<html>gone</html>", "text/html");
  auto client = Client();
  auto result = client.Get("/page", {{"User-Agent", "agent"}, {"Cache-Control", "no-cache"}});
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 404);
  EXPECT_EQ(result->body, "<html>gone</html>");
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/html");

  auto unknown = client.Get("/unknown");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);

  auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].path, "/page");
  EXPECT_EQ(requests[0].user_agent, "agent");
  EXPECT_EQ(requests[0].cache_control, "no-cache");
  EXPECT_EQ(requests[1].path, "/unknown");
  EXPECT_EQ(server_.HostPort(), "127.0.0.1:" + std::to_string(server_.port()));
}

TEST_F(TestHttpServerTest, RedirectsAndDropsConnections) {
  server_.Serve("/target", 200, "arrived");
  server_.Redirect("/moved", "/target", 302);
  server_.CloseAfter("/cut", std::string(50000, 'x'), 1000);
  auto client = Client();

  auto moved = client.Get("/moved");
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->status, 302);
  EXPECT_EQ(moved->get_header_value("Location"), "/target");
  client.set_follow_location(true);
  auto followed = client.Get("/moved");
  ASSERT_TRUE(followed);
  EXPECT_EQ(followed->body, "arrived");

  std::string received;
  auto cut = client.Get("/cut", [&](const char* data, std::size_t n) {
    received.append(data, n);
    return true;
  });
  EXPECT_FALSE(cut) << "the body ended before its announced length";
  EXPECT_EQ(received, std::string(1000, 'x'));
}

TEST_F(TestHttpServerTest, GeneratedSetsAreValidWholeRecords) {
  server_.ServeGenerated("/big.txt", 3'000'000);
  auto result = Client().Get("/big.txt");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->body.size() % kElementRecordSize, 0u);
  EXPECT_NEAR(static_cast<double>(result->body.size()), 3e6, kElementRecordSize);
  EXPECT_EQ(CheckElementSet(result->body), "");
  EXPECT_EQ(result->body.substr(0, 100 * kElementRecordSize), MakeElementSet(100));
}

}  // namespace
}  // namespace zt::testing
