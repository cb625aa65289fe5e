// Scripted answers for the internet calls, so that download tests choose the
// status, the body and how it arrives (a read that fails half-way, an
// unreachable server) without a network; and a fixed clock and locale.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform.h"

namespace zt {

struct FakeResponse {
  int status = 200;
  std::string body;
  std::size_t fail_after = std::string::npos;  // a read fails once this much has arrived
};

class FakeInternet : public PlatformWrapper {
 public:
  explicit FakeInternet(Platform& target) : PlatformWrapper(target) {}

  // Answers for a URL; a URL without one can't be reached.
  std::map<std::string, FakeResponse> responses;
  int opened = 0, closed = 0;  // handles handed out and closed again
  int reads = 0;               // body reads, the last one (0 bytes) included
  LocalTime now{2008, 1, 1, 18, 0, 0, 0};
  NumberFormat numbers{',', '.'};  // a locale with a decimal comma

  LocalTime GetLocalTime() override { return now; }
  NumberFormat UserNumberFormat() override { return numbers; }
  std::map<std::string, int> requests;  // URL -> how often it was opened

  Handle InternetOpen(const std::string&) override { return Open(""); }
  Handle InternetOpenUrl(Handle, const std::string& url) override {
    ++requests[url];
    if (!responses.count(url)) return kNoHandle;
    return Open(url);
  }
  int HttpStatus(Handle request) override { return responses[urls_[request]].status; }
  bool InternetReadFile(Handle request, void* buffer, std::uint32_t size,
                        std::uint32_t& got) override {
    ++reads;
    const FakeResponse& r = responses[urls_[request]];
    std::size_t& at = positions_[request];
    got = 0;
    if (at >= r.fail_after) return false;
    std::size_t n = std::min<std::size_t>({size, r.body.size() - at, r.fail_after - at});
    std::memcpy(buffer, r.body.data() + at, n);
    at += n;
    got = static_cast<std::uint32_t>(n);
    return true;
  }
  void InternetCloseHandle(Handle) override { ++closed; }

 private:
  Handle Open(const std::string& url) {
    Handle h = ++next_;
    urls_[h] = url;
    ++opened;
    return h;
  }
  Handle next_ = 1000;
  std::map<Handle, std::string> urls_;
  std::map<Handle, std::size_t> positions_;
};

}  // namespace zt
