// The internet client behind PosixPlatform, on libcurl: a synchronous HTTP
// GET whose body streams through the caller's buffer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "updater/core/platform.h"

namespace zt {

struct CurlInternetOptions {
  std::map<std::string, std::string> connect_to;  // "host:port" -> "127.0.0.1:port"
  long connect_timeout_ms = 60000;
  long idle_timeout_ms = 30000;
};

class CurlInternet {
 public:
  using Handle = Platform::Handle;
  explicit CurlInternet(CurlInternetOptions options);
  ~CurlInternet();
  CurlInternet(const CurlInternet&) = delete;
  CurlInternet& operator=(const CurlInternet&) = delete;

  Handle Open(const std::string& agent);
  Handle OpenUrl(Handle internet, const std::string& url);
  int HttpStatus(Handle request);
  bool Read(Handle request, void* buffer, std::uint32_t size, std::uint32_t& got);
  void Close(Handle handle);

 private:
  struct Session;
  struct Request;
  CurlInternetOptions options_;
  Handle next_ = 1;
  std::map<Handle, std::unique_ptr<Session>> sessions_;
  std::map<Handle, std::unique_ptr<Request>> requests_;
};

}  // namespace zt
