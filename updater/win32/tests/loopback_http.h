// A one-thread HTTP server on 127.0.0.1 for the internet client's tests:
// it answers each request from a table of paths and records the requests.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zt::testing {

struct HttpReply {
  int status;
  std::string body;
};

class LoopbackHttpServer {
 public:
  // Paths missing from the table get 404 with a short HTML page.
  explicit LoopbackHttpServer(std::map<std::string, HttpReply> replies);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& path) const;
  // The head of every request received so far, request line first.
  std::vector<std::string> requests();

 private:
  void Serve();

  std::map<std::string, HttpReply> replies_;
  std::uintptr_t listener_;
  int port_ = 0;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace zt::testing
