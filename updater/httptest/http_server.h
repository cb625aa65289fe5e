// A loopback HTTP server for tests: fixed answers per path, redirects,
// connections dropped half-way, and large element sets generated on the fly.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zt::testing {

class TestHttpServer {
 public:
  TestHttpServer();                  // listens on 127.0.0.1, a free port, in a thread of its own
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const;
  std::string HostPort() const;      // "127.0.0.1:PORT"
  void Serve(const std::string& path, int status, std::string body,
             std::string content_type = "text/plain");
  void Redirect(const std::string& path, const std::string& to_path, int status = 301);
  // Announces the whole length, sends a prefix, drops the connection.
  void CloseAfter(const std::string& path, std::string body, std::size_t bytes_before_close);
  // A valid element set of about size bytes, generated while sending, never held whole.
  void ServeGenerated(const std::string& path, std::size_t size);

  // What each GET asked for, in the order the requests arrived. Paths
  // without an answer get 404.
  struct Request { std::string path, user_agent, cache_control, pragma; };
  std::vector<Request> Requests() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A valid two-line element set: `count` satellites, each a name line and its two element lines
// with correct checksums; deterministic.
std::string MakeElementSet(int count);

// The modulo-10 checksum of an element line's first 68 columns: digits count
// their value, "-" counts 1, everything else 0.
int ElementLineChecksum(const std::string& line);

}  // namespace zt::testing
