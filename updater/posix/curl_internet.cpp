#include "curl_internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

namespace zt {
namespace {

using Clock = std::chrono::steady_clock;

constexpr long kMaxRedirects = 5;
constexpr int kPollMs = 50;
constexpr long kReceiveBufferSize = 64 * 1024;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

struct CurlInternet::Session {
  std::string agent;
};

// One GET in flight. libcurl hands the body to OnBody, which stages at most
// one chunk and pauses the transfer until the reader has taken it, so memory
// stays at one chunk whatever the body's size.
struct CurlInternet::Request {
  Handle session = 0;
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headers = nullptr;
  curl_slist* connect_to = nullptr;
  std::vector<char> staged;
  std::size_t taken = 0;     // bytes of `staged` already handed out
  bool paused = false;
  bool head_done = false;    // the final response's head has arrived
  bool done = false;
  CURLcode result = CURLE_OK;
  int status = 0;            // of the latest response head; the final one once head_done
  bool has_location = false;
  long redirects = 0;
  Clock::time_point last_activity = Clock::now();

  ~Request() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
    curl_slist_free_all(connect_to);
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    std::size_t bytes = size * count;
    if (request->taken < request->staged.size()) {
      request->paused = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    request->staged.assign(data, data + bytes);
    request->taken = 0;
    request->head_done = true;
    request->last_activity = Clock::now();
    return bytes;
  }

  // Tells the final response's head from those of redirects that libcurl
  // follows by itself.
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    std::size_t bytes = size * count;
    std::string_view line(data, bytes);
    request->last_activity = Clock::now();
    if (StartsWithNoCase(line, "HTTP/")) {
      std::size_t space = line.find(' ');
      request->status = space == std::string_view::npos ? 0 : std::atoi(line.data() + space + 1);
      request->has_location = false;
    } else if (StartsWithNoCase(line, "location:")) {
      request->has_location = true;
    } else if (line == "\r\n" || line == "\n") {
      bool interim = request->status / 100 == 1;
      bool followed = request->status / 100 == 3 && request->has_location &&
                      request->redirects < kMaxRedirects;
      if (followed) ++request->redirects;
      if (!interim && !followed) request->head_done = true;
    }
    return bytes;
  }

  // Lets libcurl work a little: waits at most kPollMs for the socket, and
  // ends the transfer once nothing arrived for the idle time-out.
  void Pump(long idle_timeout_ms) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      Finish(CURLE_FAILED_INIT);
      return;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg == CURLMSG_DONE) Finish(message->data.result);
    }
    if (done || taken < staged.size()) return;
    curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    if (!paused && Clock::now() - last_activity > std::chrono::milliseconds(idle_timeout_ms)) {
      Finish(CURLE_OPERATION_TIMEDOUT);
    }
  }

  void Finish(CURLcode code) {
    done = true;
    result = code;
    long response = 0;
    if (curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response) == CURLE_OK && response > 0) {
      status = static_cast<int>(response);
    }
  }
};

CurlInternet::CurlInternet(CurlInternetOptions options) : options_(std::move(options)) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CurlInternet::~CurlInternet() = default;

CurlInternet::Handle CurlInternet::Open(const std::string& agent) {
  Handle handle = next_++;
  sessions_[handle] = std::make_unique<Session>(Session{agent});
  return handle;
}

CurlInternet::Handle CurlInternet::OpenUrl(Handle internet, const std::string& url) {
  auto session = sessions_.find(internet);
  if (session == sessions_.end()) return Platform::kNoHandle;
  auto request = std::make_unique<Request>();
  request->session = internet;
  request->easy = curl_easy_init();
  request->multi = curl_multi_init();
  if (!request->easy || !request->multi) return Platform::kNoHandle;

  CURL* easy = request->easy;
  request->headers = curl_slist_append(request->headers, "Cache-Control: no-cache");
  request->headers = curl_slist_append(request->headers, "Pragma: no-cache");
  for (const auto& [from, to] : options_.connect_to) {
    request->connect_to = curl_slist_append(request->connect_to, (from + ':' + to).c_str());
  }
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, session->second->agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, request->headers);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, options_.connect_timeout_ms);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  // Larger socket reads, fewer hand-overs; the stage holds one of them.
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Request::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, request.get());
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, request.get());
  if (request->connect_to) {
    // Redirected to a loopback server: no proxy may stand in between.
    curl_easy_setopt(easy, CURLOPT_CONNECT_TO, request->connect_to);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
  }
  if (curl_multi_add_handle(request->multi, easy) != CURLM_OK) return Platform::kNoHandle;

  request->last_activity = Clock::now();
  while (!request->head_done && !request->done) request->Pump(options_.idle_timeout_ms);
  if (!request->head_done && (!request->done || request->result != CURLE_OK)) {
    return Platform::kNoHandle;
  }
  Handle handle = next_++;
  requests_[handle] = std::move(request);
  return handle;
}

int CurlInternet::HttpStatus(Handle request) {
  auto found = requests_.find(request);
  return found == requests_.end() ? 0 : found->second->status;
}

bool CurlInternet::Read(Handle handle, void* buffer, std::uint32_t size, std::uint32_t& got) {
  got = 0;
  auto found = requests_.find(handle);
  if (found == requests_.end()) return false;
  Request& request = *found->second;
  // Like a synchronous read of the Windows client: fill the whole buffer
  // unless the body ends first.
  char* out = static_cast<char*>(buffer);
  while (got < size) {
    if (request.taken < request.staged.size()) {
      std::size_t n = std::min<std::size_t>(size - got, request.staged.size() - request.taken);
      std::memcpy(out + got, request.staged.data() + request.taken, n);
      request.taken += n;
      got += static_cast<std::uint32_t>(n);
      if (request.taken == request.staged.size() && request.paused) {
        // Resuming may hand the next chunk to OnBody at once; the stage is free for it.
        request.paused = false;
        request.last_activity = Clock::now();
        curl_easy_pause(request.easy, CURLPAUSE_CONT);
      }
      continue;
    }
    if (request.done) break;
    request.Pump(options_.idle_timeout_ms);
  }
  // Bytes that arrived before a failure are delivered; the next read fails.
  if (got > 0 || size == 0) return true;
  return request.result == CURLE_OK;
}

void CurlInternet::Close(Handle handle) {
  if (requests_.erase(handle)) return;
  if (sessions_.erase(handle)) {
    // Closing the internet handle closes the requests opened through it.
    std::erase_if(requests_, [handle](const auto& entry) { return entry.second->session == handle; });
  }
}

}  // namespace zt
