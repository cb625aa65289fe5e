#include "http_server.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "element_set_records.h"

namespace zt::testing {
namespace {

using Answer = std::function<void(httplib::Response&)>;

// Generated sets repeat one block of records, made once: the server then
// sends as fast as a client can take it, and holds only the block.
constexpr std::size_t kBlockRecords = 1024;

const std::string& GeneratedBlock() {
  static const std::string block = MakeElementSet(static_cast<int>(kBlockRecords));
  return block;
}

// Writes the next piece of a generated set from byte `offset` on, at most
// `length` bytes.
bool WriteGenerated(std::size_t offset, std::size_t length, httplib::DataSink& sink) {
  const std::string& block = GeneratedBlock();
  std::size_t at = offset % block.size();
  return sink.write(block.data() + at, std::min(length, block.size() - at));
}

}  // namespace

struct TestHttpServer::State {
  httplib::Server server;
  std::thread thread;
  int port = 0;
  mutable std::mutex mutex;
  std::map<std::string, Answer> answers;
  std::vector<Request> requests;

  void Set(const std::string& path, Answer answer) {
    std::lock_guard lock(mutex);
    answers[path] = std::move(answer);
  }
};

TestHttpServer::TestHttpServer() : state_(std::make_unique<State>()) {
  State& state = *state_;
  state.server.Get(".*", [&state](const httplib::Request& request, httplib::Response& response) {
    Answer answer;
    {
      std::lock_guard lock(state.mutex);
      state.requests.push_back({request.path, request.get_header_value("User-Agent"),
                                request.get_header_value("Cache-Control"),
                                request.get_header_value("Pragma")});
      auto found = state.answers.find(request.path);
      if (found != state.answers.end()) answer = found->second;
    }
    if (answer) {
      answer(response);
    } else {
      response.status = 404;
      response.set_content("not found", "text/plain");
    }
  });
  state.port = state.server.bind_to_any_port("127.0.0.1");
  if (state.port <= 0) throw std::runtime_error("the test server found no port");
  state.thread = std::thread([&state] { state.server.listen_after_bind(); });
  // stop() only ends a server that runs already.
  while (!state.server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestHttpServer::~TestHttpServer() {
  state_->server.stop();
  state_->thread.join();
}

int TestHttpServer::port() const { return state_->port; }

std::string TestHttpServer::HostPort() const { return "127.0.0.1:" + std::to_string(port()); }

void TestHttpServer::Serve(const std::string& path, int status, std::string body,
                           std::string content_type) {
  state_->Set(path, [status, body = std::move(body),
                     content_type = std::move(content_type)](httplib::Response& response) {
    response.status = status;
    response.set_content(body, content_type);
  });
}

void TestHttpServer::Redirect(const std::string& path, const std::string& to_path, int status) {
  state_->Set(path, [to_path, status](httplib::Response& response) {
    response.status = status;
    response.set_header("Location", to_path);
    response.set_content("moved", "text/plain");
  });
}

void TestHttpServer::CloseAfter(const std::string& path, std::string body,
                                std::size_t bytes_before_close) {
  auto shared = std::make_shared<std::string>(std::move(body));
  state_->Set(path, [shared, bytes_before_close](httplib::Response& response) {
    response.status = 200;
    response.set_content_provider(
        shared->size(), "text/plain",
        [shared, bytes_before_close](std::size_t offset, std::size_t length,
                                     httplib::DataSink& sink) {
          if (offset >= bytes_before_close) return false;  // drops the connection
          std::size_t n = std::min(length, bytes_before_close - offset);
          return sink.write(shared->data() + offset, n);
        });
  });
}

void TestHttpServer::ServeGenerated(const std::string& path, std::size_t size) {
  std::size_t records = std::max<std::size_t>(1, size / kElementRecordSize);
  GeneratedBlock();  // made here, not while a client waits
  state_->Set(path, [records](httplib::Response& response) {
    response.status = 200;
    response.set_content_provider(records * kElementRecordSize, "text/plain", &WriteGenerated);
  });
}

std::vector<TestHttpServer::Request> TestHttpServer::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

}  // namespace zt::testing
