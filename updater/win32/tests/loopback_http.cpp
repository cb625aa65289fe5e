#include "updater/win32/tests/loopback_http.h"

#include <winsock2.h>

#include <stdexcept>

namespace zt::testing {
namespace {

std::string ReadHead(SOCKET s) {
  std::string head;
  char c;
  while (head.find("\r\n\r\n") == std::string::npos && ::recv(s, &c, 1, 0) == 1) head += c;
  return head;
}

void SendAll(SOCKET s, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const int n = ::send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, HttpReply> replies)
    : replies_(std::move(replies)) {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) throw std::runtime_error("WSAStartup");
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;  // any free port
  int len = sizeof addr;
  if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(s, 8) != 0 || ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  listener_ = s;
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  ::closesocket(static_cast<SOCKET>(listener_));  // ends the accept loop
  thread_.join();
  ::WSACleanup();
}

std::string LoopbackHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::Serve() {
  for (;;) {
    SOCKET client = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    const std::string head = ReadHead(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(head);
    }
    // "GET <path> HTTP/1.1"
    const std::size_t from = head.find(' ') + 1;
    const std::string path = head.substr(from, head.find(' ', from) - from);
    const auto found = replies_.find(path);
    const HttpReply reply = found != replies_.end()
                                ? found->second
                                : HttpReply{404, "<html><body>Not Found</body></html>"};
    SendAll(client, "HTTP/1.1 " + std::to_string(reply.status) + " Reply\r\n" +
                        "Content-Length: " + std::to_string(reply.body.size()) + "\r\n" +
                        "Connection: close\r\n\r\n" + reply.body);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
  }
}

}  // namespace zt::testing
