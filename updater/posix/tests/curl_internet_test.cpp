// PosixPlatform's internet client against the loopback server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "posix_platform.h"
#include "updater/httptest/http_server.h"

namespace zt::testing {
namespace {

constexpr std::uint32_t kChunk = 10241;
const std::string kHost = "elements.example";

// A loopback socket that accepts connections into its backlog and never
// answers, or, once closed, a port where nobody listens.
class SilentPort {
 public:
  SilentPort() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
    listen(fd_, 4);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~SilentPort() { Close(); }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  int port() const { return port_; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Answers one request with a head announcing 1000 bytes and the first 10 of
// them, then holds the connection open without sending more.
class StallingServer {
 public:
  StallingServer() {
    thread_ = std::thread([this] {
      pollfd wait{listener_.fd(), POLLIN, 0};
      if (poll(&wait, 1, 5000) != 1) return;  // no client came
      int connection = accept(listener_.fd(), nullptr, nullptr);
      char request[4096];
      [[maybe_unused]] ssize_t ignored = recv(connection, request, sizeof request, 0);
      const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789";
      ignored = send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
      char rest;
      ignored = recv(connection, &rest, 1, 0);  // until the client gives up
      close(connection);
    });
  }
  ~StallingServer() { thread_.join(); }
  int port() const { return listener_.port(); }

 private:
  SilentPort listener_;
  std::thread thread_;
};

class CurlInternetTest : public ::testing::Test {
 protected:
  CurlInternetTest() {
    PosixPlatformOptions options;
    options.drives_root = "/nonexistent";
    options.connect_to[kHost + ":80"] = server_.HostPort();
    options.connect_timeout_ms = 2000;
    options.idle_timeout_ms = 1000;
    platform_ = std::make_unique<PosixPlatform>(options);
    internet_ = platform_->InternetOpen("agent");
  }
  ~CurlInternetTest() override { platform_->InternetCloseHandle(internet_); }

  std::string Url(const std::string& path) { return "http://" + kHost + path; }

  // Reads the whole body in reads of kChunk bytes; the sizes of the reads
  // land in `reads`. False when a read failed.
  bool ReadAll(Platform::Handle request, std::string& body, std::vector<std::uint32_t>* reads) {
    std::vector<char> buffer(kChunk);
    for (;;) {
      std::uint32_t got = 12345;
      if (!platform_->InternetReadFile(request, buffer.data(), kChunk, got)) return false;
      if (reads) reads->push_back(got);
      if (got == 0) return true;
      if (got > kChunk) return false;
      body.append(buffer.data(), got);
    }
  }

  TestHttpServer server_;
  std::unique_ptr<PosixPlatform> platform_;
  Platform::Handle internet_ = Platform::kNoHandle;
};

TEST_F(CurlInternetTest, GetsStatusAndBodyWhateverTheStatus) {
  struct Case {
    int status;
    std::string body;
  } cases[] = {
      {200, "1 line\r\n2 line\r\n"},
      {404, "<html><body>Not here</body></html>"},
      {500, "server trouble"},
      {200, ""},
  };
  for (const Case& c : cases) {
    server_.Serve("/file.txt", c.status, c.body);
    Platform::Handle request = platform_->InternetOpenUrl(internet_, Url("/file.txt"));
    ASSERT_NE(request, Platform::kNoHandle) << c.status;
    EXPECT_EQ(platform_->HttpStatus(request), c.status);
    std::string body;
    EXPECT_TRUE(ReadAll(request, body, nullptr));
    EXPECT_EQ(body, c.body) << c.status;
    platform_->InternetCloseHandle(request);
  }
}

TEST_F(CurlInternetTest, ReadsFillTheBufferAndEndWithZero) {
  struct Case {
    std::size_t size;
    std::vector<std::uint32_t> reads;
  } cases[] = {
      {kChunk, {kChunk, 0}},
      {0, {0}},
      {1, {1, 0}},
  };
  for (const Case& c : cases) {
    std::string content(c.size, 'e');
    server_.Serve("/exact.txt", 200, content);
    Platform::Handle request = platform_->InternetOpenUrl(internet_, Url("/exact.txt"));
    ASSERT_NE(request, Platform::kNoHandle);
    std::string body;
    std::vector<std::uint32_t> reads;
    EXPECT_TRUE(ReadAll(request, body, &reads));
    EXPECT_EQ(reads, c.reads) << c.size;
    EXPECT_EQ(body, content);
    platform_->InternetCloseHandle(request);
  }
}

TEST_F(CurlInternetTest, StreamsALargeBodyWhole) {
  server_.ServeGenerated("/big.txt", 8'000'000);
  Platform::Handle request = platform_->InternetOpenUrl(internet_, Url("/big.txt"));
  ASSERT_NE(request, Platform::kNoHandle);
  std::string body;
  ASSERT_TRUE(ReadAll(request, body, nullptr));
  EXPECT_NEAR(static_cast<double>(body.size()), 8e6, 200);
  EXPECT_EQ(body.substr(0, MakeElementSet(50).size()), MakeElementSet(50));
  platform_->InternetCloseHandle(request);
}

TEST_F(CurlInternetTest, FollowsRedirects) {
  server_.Serve("/NORAD/elements/visual.txt", 200, "moved content");
  server_.Redirect("/old/visual.txt", "/NORAD/elements/visual.txt", 301);
  server_.Redirect("/older/visual.txt", "/old/visual.txt", 302);
  Platform::Handle request = platform_->InternetOpenUrl(internet_, Url("/older/visual.txt"));
  ASSERT_NE(request, Platform::kNoHandle);
  EXPECT_EQ(platform_->HttpStatus(request), 200);
  std::string body;
  EXPECT_TRUE(ReadAll(request, body, nullptr));
  EXPECT_EQ(body, "moved content");
  platform_->InternetCloseHandle(request);
}

TEST_F(CurlInternetTest, AConnectionDroppedHalfWayFailsTheRead) {
  std::string content = MakeElementSet(200);
  server_.CloseAfter("/cut.txt", content, content.size() / 2);
  Platform::Handle request = platform_->InternetOpenUrl(internet_, Url("/cut.txt"));
  ASSERT_NE(request, Platform::kNoHandle);
  std::string body;
  EXPECT_FALSE(ReadAll(request, body, nullptr));
  EXPECT_LE(body.size(), content.size() / 2);
  EXPECT_EQ(body, content.substr(0, body.size()));
  platform_->InternetCloseHandle(request);
}

TEST_F(CurlInternetTest, UnreachableOrSilentServersFailTheOpen) {
  SilentPort silent;
  SilentPort closed;
  closed.Close();
  PosixPlatformOptions options;
  options.connect_to["silent.example:80"] = "127.0.0.1:" + std::to_string(silent.port());
  options.connect_to["closed.example:80"] = "127.0.0.1:" + std::to_string(closed.port());
  options.connect_timeout_ms = 500;
  options.idle_timeout_ms = 300;
  PosixPlatform platform(options);
  Platform::Handle internet = platform.InternetOpen("agent");
  ASSERT_NE(internet, Platform::kNoHandle);
  EXPECT_EQ(platform.InternetOpenUrl(internet, "http://closed.example/x.txt"), Platform::kNoHandle);
  EXPECT_EQ(platform.InternetOpenUrl(internet, "http://silent.example/x.txt"), Platform::kNoHandle);
  EXPECT_EQ(platform.InternetOpenUrl(internet, "not a url"), Platform::kNoHandle);
  EXPECT_EQ(platform.InternetOpenUrl(Platform::kNoHandle, "http://closed.example/"),
            Platform::kNoHandle);
  platform.InternetCloseHandle(internet);
}

TEST_F(CurlInternetTest, ATransferThatStallsFailsAfterTheIdleTimeOut) {
  StallingServer stalling;
  PosixPlatformOptions options;
  options.connect_to["stall.example:80"] = "127.0.0.1:" + std::to_string(stalling.port());
  options.idle_timeout_ms = 300;
  PosixPlatform platform(options);
  Platform::Handle internet = platform.InternetOpen("agent");
  Platform::Handle request = platform.InternetOpenUrl(internet, "http://stall.example/x.txt");
  ASSERT_NE(request, Platform::kNoHandle);
  EXPECT_EQ(platform.HttpStatus(request), 200);
  char buffer[kChunk];
  std::uint32_t got = 0;
  EXPECT_TRUE(platform.InternetReadFile(request, buffer, kChunk, got));
  EXPECT_EQ(std::string(buffer, got), "0123456789") << "what arrived is delivered first";
  EXPECT_FALSE(platform.InternetReadFile(request, buffer, kChunk, got));
  platform.InternetCloseHandle(internet);  // closes the request and its connection
}

TEST_F(CurlInternetTest, SendsTheAgentAndAsksPastCaches) {
  server_.Serve("/NORAD/elements/iridium.txt", 200, "x");
  Platform::Handle other = platform_->InternetOpen("another agent/1.0");
  Platform::Handle request = platform_->InternetOpenUrl(other, Url("/NORAD/elements/iridium.txt"));
  ASSERT_NE(request, Platform::kNoHandle);
  platform_->InternetCloseHandle(request);
  platform_->InternetCloseHandle(other);

  auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].path, "/NORAD/elements/iridium.txt");
  EXPECT_EQ(requests[0].user_agent, "another agent/1.0");
  EXPECT_EQ(requests[0].cache_control, "no-cache");
  EXPECT_EQ(requests[0].pragma, "no-cache");
}

TEST_F(CurlInternetTest, ClosedHandlesAreRefused) {
  server_.Serve("/a.txt", 200, "abc");
  Platform::Handle session = platform_->InternetOpen("agent");
  Platform::Handle request = platform_->InternetOpenUrl(session, Url("/a.txt"));
  ASSERT_NE(request, Platform::kNoHandle);
  EXPECT_NE(request, session);
  // Closing the internet handle closes the requests made through it.
  platform_->InternetCloseHandle(session);
  char buffer[8];
  std::uint32_t got = 0;
  EXPECT_FALSE(platform_->InternetReadFile(request, buffer, sizeof buffer, got));
  EXPECT_EQ(platform_->HttpStatus(request), 0);
  EXPECT_EQ(platform_->InternetOpenUrl(session, Url("/a.txt")), Platform::kNoHandle);
  platform_->InternetCloseHandle(request);  // harmless twice
}

}  // namespace
}  // namespace zt::testing
