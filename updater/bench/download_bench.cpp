// Download benchmark: streams generated element sets from the loopback
// server through DownloadFile onto a temporary stick, and fetches the same
// URL with the curl command in the same run as the baseline. Each download
// runs in a process of its own, so that its peak memory (max RSS) is its own;
// that peak must not grow with the body.
//
//   zt_download_bench [size_in_bytes ...]      default: 1 MB and 200 MB
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "principal.h"
#include "updater/httptest/http_server.h"
#include "updater/posix/posix_platform.h"

namespace {

constexpr int kRounds = 3;
const char* const kTarget = "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle\\visual.tle";
const char* const kTargetOnHost = "E/PSP/GAME/Zentrovia/ZenTrovia/tle/visual.tle";

// DownloadFile shows nothing; the window only has to exist.
class NoView : public zt::View {
 public:
  void AppendLine(const std::string&) override {}
  void Repaint() override {}
  void Pause(unsigned) override {}
  void BringToFront(zt::Component) override {}
  void SendToBack(zt::Component) override {}
  void SetVisible(zt::Component, bool) override {}
  void SetEnabled(zt::Component, bool) override {}
  void SetCaption(zt::Component, const std::string&) override {}
  std::string EditText(zt::Component) override { return ""; }
  void SetEditText(zt::Component, const std::string&) override {}
  bool Checked(zt::Component) override { return false; }
  void SetChecked(zt::Component, bool) override {}
  void ClearLanguages() override {}
  void AddLanguage(const std::string&) override {}
  int LanguageIndex() override { return -1; }
  void Close() override {}
  void ShowError(const std::string&, const std::string&) override {}
};

// "host:80" of the program's fixed element-set URL.
std::string UrlHostPort(const std::string& url) {
  std::string rest = url.substr(url.find("://") + 3);
  return rest.substr(0, rest.find('/')) + ":80";
}

std::string UrlPath(const std::string& url) {
  std::string rest = url.substr(url.find("://") + 3);
  return rest.substr(rest.find('/'));
}

zt::PosixPlatformOptions ChildOptions(const std::string& port, const std::string& root) {
  zt::PosixPlatformOptions options;
  options.drives_root = root;
  options.program_file = "C:\\ZenTrovia\\ZenTroviaUpdater.exe";
  options.connect_to[UrlHostPort(zt::kVisualUrl)] = "127.0.0.1:" + port;
  return options;
}

// The child: one DownloadFile onto the stick under `root`.
int RunChild(const std::string& port, const std::string& root) {
  zt::PosixPlatform platform(ChildOptions(port, root));
  NoView view;
  zt::TForm1 form(view, platform);
  return zt::DownloadFile(zt::kVisualUrl, kTarget) ? 0 : 1;
}

// The child that only reads the body through the internet client, in reads
// of DownloadFile's size, and writes it with stdio: the share of the time
// that is the platform's.
int RunClientChild(const std::string& port, const std::string& root, const std::string& output) {
  zt::PosixPlatform platform(ChildOptions(port, root));
  zt::Platform::Handle internet = platform.InternetOpen("agent");
  zt::Platform::Handle request = platform.InternetOpenUrl(internet, zt::kVisualUrl);
  if (request == zt::Platform::kNoHandle) return 1;
  std::FILE* out = std::fopen(output.c_str(), "wb");
  if (out == nullptr) return 1;
  std::vector<char> buffer(zt::kDownloadBufferSize);
  bool ok = true;
  for (;;) {
    std::uint32_t got = 0;
    ok = platform.InternetReadFile(request, buffer.data(), zt::kDownloadBufferSize, got);
    if (!ok || got == 0) break;
    ok = std::fwrite(buffer.data(), 1, got, out) == got;
    if (!ok) break;
  }
  ok = std::fclose(out) == 0 && ok;
  platform.InternetCloseHandle(request);
  platform.InternetCloseHandle(internet);
  return ok ? 0 : 1;
}

struct Run {
  double seconds = 0;
  long max_rss_kb = 0;
  bool ok = false;
};

// Runs a program to its end; its time and peak memory.
Run Spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.max_rss_kb = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// The best time of a few rounds, the highest peak memory of them.
Run Best(const std::vector<std::string>& args, const std::filesystem::path& output,
         std::uintmax_t expected_size) {
  Run best{1e30, 0, true};
  for (int round = 0; round < kRounds; ++round) {
    std::filesystem::remove(output);
    Run run = Spawn(args);
    std::error_code ec;
    run.ok = run.ok && std::filesystem::file_size(output, ec) == expected_size;
    best.ok = best.ok && run.ok;
    best.seconds = std::min(best.seconds, run.seconds);
    best.max_rss_kb = std::max(best.max_rss_kb, run.max_rss_kb);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") return RunChild(argv[2], argv[3]);
  if (argc == 5 && std::string(argv[1]) == "--client") {
    return RunClientChild(argv[2], argv[3], argv[4]);
  }

  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1'000'000, 200'000'000};

  std::string root = (std::filesystem::temp_directory_path() / "zt-bench-XXXXXX").string();
  if (mkdtemp(root.data()) == nullptr) return 2;
  std::filesystem::path stick = std::filesystem::path(root) / kTargetOnHost;
  std::filesystem::create_directories(stick.parent_path());
  std::filesystem::create_directories(std::filesystem::path(root) / "C");
  std::filesystem::path curl_output = std::filesystem::path(root) / "curl.tle";

  zt::testing::TestHttpServer server;
  const std::string path = UrlPath(zt::kVisualUrl);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string port = std::to_string(server.port());

  std::printf("%12s %14s %14s %14s %8s %14s %14s %14s\n", "body bytes", "DownloadFile",
              "client only", "curl -o", "ratio", "RSS (KiB)", "client RSS", "curl RSS");
  std::vector<long> peaks;
  bool all_ok = true;
  for (std::size_t size : sizes) {
    server.ServeGenerated(path, size);
    std::uintmax_t body = std::max<std::size_t>(1, size / 168) * 168;  // whole records
    Run ours = Best({self, "--child", port, root}, stick, body);
    std::filesystem::path client_output = std::filesystem::path(root) / "client.tle";
    Run client = Best({self, "--client", port, root, client_output.string()}, client_output, body);
    Run curl = Best({"curl", "-s", "-f", "-o", curl_output.string(),
                     "http://" + server.HostPort() + path},
                    curl_output, body);
    double mb = static_cast<double>(body) / 1e6;
    bool ok = ours.ok && client.ok && curl.ok;
    std::printf("%12ju %9.1f MB/s %9.1f MB/s %9.1f MB/s %8.2f %14ld %14ld %14ld%s\n", body,
                mb / ours.seconds, mb / client.seconds, mb / curl.seconds,
                curl.seconds / ours.seconds, ours.max_rss_kb, client.max_rss_kb,
                curl.max_rss_kb, ok ? "" : "  (a download failed)");
    peaks.push_back(ours.max_rss_kb);
    all_ok = all_ok && ok;
  }
  if (peaks.size() >= 2) {
    std::printf("DownloadFile peak memory growth from the smallest to the largest body: %ld KiB\n",
                peaks.back() - peaks.front());
  }
  std::printf("ratio: DownloadFile throughput over curl's (1.00 = as fast); client only: the\n"
              "internet client's reads written with stdio, without DownloadFile's own work\n");
  std::filesystem::remove_all(root);
  return all_ok ? 0 : 1;
}
