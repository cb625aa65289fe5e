// The satellite data update: the element-set downloads and the update stamp.
#include "principal.h"

#include <vector>

#include "element_set.h"
#include "julian_date.h"
#include "stick_files.h"
#include "text_file.h"

namespace zt {
namespace {

constexpr int kHttpOk = 200;

// Closes an internet handle on every way out.
class InternetHandle {
 public:
  InternetHandle(Platform& platform, Platform::Handle handle)
      : platform_(platform), handle_(handle) {}
  ~InternetHandle() {
    if (handle_ != Platform::kNoHandle) platform_.InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  Platform::Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Platform::kNoHandle; }

 private:
  Platform& platform_;
  Platform::Handle handle_;
};

// Streams the body of Url into the open file; true when the status was 200,
// the whole body arrived and was written, and it is an element set.
bool FetchInto(Platform& platform, const std::string& url, Platform::Handle file) {
  InternetHandle internet(platform, platform.InternetOpen("agent"));
  if (!internet) return false;
  InternetHandle request(platform, platform.InternetOpenUrl(internet.get(), url));
  if (!request) return false;
  if (platform.HttpStatus(request.get()) != kHttpOk) return false;

  ElementSetCheck check;
  std::vector<char> buffer(kDownloadBufferSize);
  for (;;) {
    std::uint32_t got = 0;
    if (!platform.InternetReadFile(request.get(), buffer.data(), kDownloadBufferSize, got))
      return false;
    if (got == 0) break;
    std::size_t written = 0;
    if (platform.WriteFile(file, buffer.data(), got, written) != 0 || written != got) return false;
    check.Feed(buffer.data(), got);
  }
  return check.Accepted();
}

}  // namespace

bool DownloadFile(const std::string& Url, const std::string& FileName) {
  Platform& platform = Form1->platform();
  const std::string temp = FileName + ".part";
  Platform::Handle file = Platform::kNoHandle;
  // The file is made before any network activity: a missing folder or a
  // write-protected stick fails at once.
  if (platform.CreateFile(temp, file) != 0) return false;
  bool ok = FetchInto(platform, Url, file);
  if (platform.CloseFile(file) != 0) ok = false;
  if (ok && platform.ReplaceFile(temp, FileName)) return true;
  platform.DeleteFile(temp);
  return false;
}

void TForm1::LabelDownloadClick(Component) {
  view_.AppendLine(Line(18));
  view_.Repaint();
  view_.Pause(1000);
  bool ok = DownloadFile(kVisualUrl, TleFolder + "\\\\visual.tle");
  if (ok) view_.AppendLine(" \xB7 visual.tle");
  if (ok) {
    ok = DownloadFile(kIridiumUrl, TleFolder + "\\\\iridium.tle");
    if (ok) view_.AppendLine(" \xB7 iridium.tle");
  }
  if (!ok) {
    view_.AppendLine(Line(20));
    view_.Pause(1000);
    view_.Repaint();
    return;
  }
  NumberFormat format = platform_.UserNumberFormat();
  format.decimal_separator = '.';  // the stamp reads the same under every locale
  std::string stamp = FormatGeneral(JulianDate(platform_.GetLocalTime()), format);
  ReplaceWithText(platform_, AppDataFolder + "\\\\update.txt",
                  AppDataFolder + "\\\\update_temp.txt",
                  [&](TextWriter& out) { out.Write(stamp + "\r\n"); });
  view_.AppendLine(Line(19));
  view_.Repaint();
  view_.Pause(1000);
  view_.SetVisible(Component::LabelDownload, false);
}

}  // namespace zt
