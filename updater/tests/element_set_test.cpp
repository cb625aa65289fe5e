#include "element_set.h"

#include <gtest/gtest.h>

#include "fixtures.h"

namespace zt {
namespace {

bool Check(const std::string& body, std::size_t chunk) {
  ElementSetCheck check;
  for (std::size_t at = 0; at < body.size(); at += chunk)
    check.Feed(body.data() + at, std::min(chunk, body.size() - at));
  return check.Accepted();
}

// The same verdict however the body is cut into reads.
bool Accepts(const std::string& body) {
  bool whole = Check(body, body.size() + 1);
  EXPECT_EQ(Check(body, 1), whole);
  EXPECT_EQ(Check(body, 7), whole);
  return whole;
}

std::string Lf(std::string s) {
  for (std::size_t at; (at = s.find("\r\n")) != std::string::npos;) s.erase(at, 1);
  return s;
}

TEST(ElementSetCheck, ChecksumCountsDigitsAndMinusSigns) {
  // A published pair, with the checksums it was published with.
  EXPECT_TRUE(ElementSetCheck::ChecksumOk(
      "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927"));
  EXPECT_TRUE(ElementSetCheck::ChecksumOk(
      "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537"));
  EXPECT_FALSE(ElementSetCheck::ChecksumOk(
      "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2928"));
  // "-" counts one, "+" and letters nothing.
  EXPECT_TRUE(ElementSetCheck::ChecksumOk(std::string(67, ' ') + "-1"));
  EXPECT_TRUE(ElementSetCheck::ChecksumOk(std::string(67, 'A') + "+0"));
  EXPECT_FALSE(ElementSetCheck::ChecksumOk(std::string(68, ' ') + "X"));
}

TEST(ElementSetCheck, AcceptsElementSets) {
  const std::string l1 = WithChecksum("1 00005U 58002B   08264.51782528 -.00002182  00000-0 -11606-4 0  292");
  const std::string l2 = WithChecksum("2 00005  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353");
  const struct {
    const char* what;
    std::string body;
  } cases[] = {
      {"one named pair, CR LF", ElementSet(1)},
      {"many named pairs", ElementSet(300)},
      {"LF only", Lf(ElementSet(3))},
      {"pairs without names", l1 + "\n" + l2 + "\n" + l1 + "\r\n" + l2 + "\r\n"},
      {"named and unnamed mixed", ElementSet(1) + l1 + "\n" + l2 + "\n"},
      {"lines longer than 69 columns", l1 + "   \n" + l2 + "  \n"},
      {"a name that looks like line 2", "2 DAYS\n" + l1 + "\n" + l2 + "\n"},
  };
  for (const auto& c : cases) EXPECT_TRUE(Accepts(c.body)) << c.what;
}

TEST(ElementSetCheck, RejectsWhatIsNoElementSet) {
  const std::string set = ElementSet(2);
  const std::string l1 = WithChecksum("1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  292");
  const std::string l2 = WithChecksum("2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353");
  const std::string other2 = WithChecksum("2 25545  51.6416 247.4627 0006703 130.5360 325.0288 15.7212539156353");
  std::string bad_sum = l1;
  bad_sum[68] = static_cast<char>('0' + (bad_sum[68] - '0' + 1) % 10);
  const struct {
    const char* what;
    std::string body;
  } cases[] = {
      {"empty body", ""},
      {"an HTML page", "<html><body><h1>Welcome to the hotel network</h1></body></html>\n"},
      {"a no-data text", "No GP data found\n"},
      {"a name only", "ISS (ZARYA)\r\n"},
      {"line 1 without line 2", "ISS\n" + l1 + "\n"},
      {"catalogue numbers differ", l1 + "\n" + other2 + "\n"},
      {"wrong checksum", bad_sum + "\n" + l2 + "\n"},
      {"line cut short", l1.substr(0, 68) + "\n" + l2 + "\n"},
      {"two name lines before a pair", "A\nB\n" + l1 + "\n" + l2 + "\n"},
      {"line 2 first", l2 + "\n" + l1 + "\n"},
      {"no blank after the line number", "10" + l1.substr(2) + "\n" + l2 + "\n"},
      {"a name left over at the end", set + "DANGLING\r\n"},
      {"a last line without terminator", set.substr(0, set.size() - 2)},
      {"a CR inside a line", l1.substr(0, 30) + "\r" + l1.substr(30) + "\n" + l2 + "\n"},
      {"an error page after good sets", set + "<html>500</html>\n"},
  };
  for (const auto& c : cases) EXPECT_FALSE(Accepts(c.body)) << c.what;
}

}  // namespace
}  // namespace zt
