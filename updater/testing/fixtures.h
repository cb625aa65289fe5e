// A program folder and memory sticks laid out in a temporary folder, as
// drive folders of a PosixPlatform, and an updater window over them run
// through the model view, a fault injector and the driver.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "fake_internet.h"
#include "fault_injector.h"
#include "model_view.h"
#include "principal.h"
#include "updater/posix/posix_platform.h"

namespace zt {

// A language pack of 28 lines: "English" names it, line 1 names the package
// folder "pkg_en", line 16 ends with a blank, every other line N is "L<N>".
std::vector<std::string> FullPack();

// The relative names of the package's files, "\EBOOT.PBP" ... in install order.
const std::vector<std::string>& PackageFiles();

// The default location file the package carries.
inline constexpr const char* kPackageLocation =
    "lat=51.48\nlon=0.00\nalt=46\noff=0\nnam=Greenwich\ndst=false\n";

// The user's files on the stick that the fixtures mount as drive E.
namespace on_stick {
inline constexpr const char* kBookmarks = "E:\\PSP\\SYSTEM\\BROWSER\\bookmarks.html";
inline constexpr const char* kLocation = "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\location.txt";
inline constexpr const char* kVisual = "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle\\visual.tle";
inline constexpr const char* kIridium = "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\tle\\iridium.tle";
inline constexpr const char* kStamp = "E:\\PSP\\GAME\\Zentrovia\\ZenTrovia\\update.txt";
}  // namespace on_stick

// An element line: the first 68 columns given, the checksum appended.
std::string WithChecksum(const std::string& first68);
// A body of element sets: count pairs, each after a name line, lines ended
// by CR LF; catalogue numbers from `first`.
std::string ElementSet(int count, int first = 25544);
// An element set of exactly `size` bytes (the first name line takes the rest).
std::string ElementSetOfSize(std::size_t size);

class Machine {
 public:
  // Program at D:\ZenTrovia\ZenTroviaUpdater.exe, current directory there.
  // connect_to sends the fixed URLs' "host:port" to a loopback server.
  explicit Machine(std::map<std::string, std::string> connect_to = {});
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  PosixPlatform& posix() { return *posix_; }
  const std::string& root() const { return root_; }

  // Files and folders by Windows path ("E:\PSP\GAME\x"), made with their parents.
  void Write(const std::string& path, const std::string& content);
  void MakeFolder(const std::string& path);
  // The file's bytes, or nullopt when there is no such file.
  std::optional<std::string> Read(const std::string& path);
  bool Exists(const std::string& path);
  // Removes a file or a whole folder tree; a drive letter alone ("F:") pulls the stick.
  void Remove(const std::string& path);

  // A language pack file in D:\ZenTrovia\languages, lines joined with CR LF.
  void WritePack(const std::string& file, const std::vector<std::string>& lines);
  // The package folder pkg_en beside the program, every file of the table.
  void WritePackage();
  // A stick on the letter: \PSP\GAME and the browser's bookmark file.
  void WriteStick(char letter, const std::string& bookmarks = kBookmarks);
  // The application as an installation leaves it on the stick.
  void WriteInstalled(char letter);

  static constexpr const char* kBookmarks =
      "<HTML>\r\n<TITLE>Bookmarks</TITLE>\r\n<DL><p>\r\n"
      "    <DT><A HREF=\"http://example.org/\">Example</A>\r\n</DL><p>\r\n</HTML>\r\n";

 private:
  std::string Host(const std::string& path);

  std::string root_;
  std::unique_ptr<PosixPlatform> posix_;
};

// The whole updater over a Machine: the platform the handlers see is a fault
// injector (faults off unless a test sets them) over scripted internet
// answers over the POSIX platform.
struct App {
  App();
  // Shows the window, lists the packs and chooses the first.
  void ToSearch();
  // Search, then a click on the search button.
  void ToFound();
  // From the location form: save it.
  void SaveLocation();
  // Language line numbers as the screen lines they give with FullPack().
  static std::vector<std::string> Lines(std::initializer_list<int> numbers);

  Machine machine;
  FakeInternet internet{machine.posix()};
  FaultInjector faults{internet};
  ModelView view;
  TForm1 form{view, faults};
  Driver driver{view, form};
};

}  // namespace zt
