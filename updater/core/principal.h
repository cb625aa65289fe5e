// The window unit: the form TForm1 with its state and event handlers, the
// unit's free routines, and the dispatcher that turns an error escaping a
// handler into the application's default error report.
//
// The handlers drive the window only through View and reach the system only
// through Platform, so the same code runs in the Windows program (real
// window, Win32 platform) and in the tests (model view, POSIX platform).
//
// How a window program uses it:
//   zt::TForm1 form(view, platform);            // sets zt::Form1
//   zt::HandleEvent(view, form, zt::FormEvent::FormShow);
//   ... and so for every event the window raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components.h"
#include "form_events.h"
#include "platform.h"
#include "view.h"

namespace zt {

// Runs one event handler. An error that escapes it is shown with
// View::ShowError(kApplicationTitle, text), the text with a full stop
// appended when its last character sorts after "."; the window stays in
// whatever state the handler had reached. Nothing escapes Dispatch.
void Dispatch(View& view, const std::function<void()>& handler);

class TForm1;
// Runs the form's handler of one event through Dispatch, with the component
// the event comes from as its sender.
void HandleEvent(View& view, TForm1& form, FormEvent event);

// Fixed addresses of the element sets and of the bookmark's home page.
inline constexpr const char* kVisualUrl = "http://celestrak.org/NORAD/elements/visual.txt";
inline constexpr const char* kIridiumUrl = "http://celestrak.org/NORAD/elements/iridium.txt";
inline constexpr const char* kHomePageUrl = "http://www.zentrovia.net/";
// The body of an element set is streamed through one buffer of this size.
inline constexpr std::uint32_t kDownloadBufferSize = 10241;

class TForm1 {
 public:
  // The window's one instance; sets Form1 for as long as it lives.
  TForm1(View& view, Platform& platform);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  View& view() { return view_; }
  Platform& platform() { return platform_; }

  // Language line n; raises ListIndexError when the pack has no line n.
  const std::string& Line(int n) const;

  // Event handlers; Sender is the component the event came from.
  void FormShow(Component Sender);
  void LabelSalirClick(Component Sender);
  void ComboLanguagesEnter(Component Sender);
  void ComboLanguagesSelect(Component Sender);
  void LabelBotonPSPClick(Component Sender);
  void LabelSaveLocationClick(Component Sender);
  void LabelDownloadClick(Component Sender);
  void LabelInstalarClick(Component Sender);
  // Reports on the screen, then fills the location form from the stick.
  void UpdatePanelLocation();
  // Copies the application package onto the stick and adds the bookmark.
  void Install_Slim_compatible();

  // The window's state; empty until the handlers fill it.
  std::string ProgramFolder;  // ends with a backslash
  std::string DriveLetter;    // "C" .. "Z"
  std::string GameFolder;
  std::string AppDataFolder;
  std::string TleFolder;
  std::vector<std::string> LanguageFiles;  // file i is entry i of the language box
  std::vector<std::string> LanguageLines;

 private:
  View& view_;
  Platform& platform_;
};

// The one window while it exists, else null. The free routines below reach
// the window and the platform through it.
extern TForm1* Form1;

// Copies one whole file, replacing an existing destination. Raises nothing.
bool CopyPackageFile(const std::string& Source, const std::string& Destination);

// Fetches Url into FileName. The body streams into a temporary file beside
// the target, which replaces the target in one step only when the status was
// 200, the whole body arrived and it is an element set; otherwise the target
// keeps its old content. Raises nothing.
bool DownloadFile(const std::string& Url, const std::string& FileName);

// Inserts the home-page bookmark after the first line opening the bookmark
// list of the console browser's bookmark file on the stick, then shows
// language line 27. A file that already holds the link is left as it is.
void AddBrowserBookmark();

// Lists the files matching Mask that carry none of the hidden, system,
// volume and directory attributes that Attributes leaves out: the first line
// of each goes to Entries, its bare name to Files, in search order.
void FindLanguageFiles(const std::string& Mask, std::uint32_t Attributes,
                       std::vector<std::string>& Entries, std::vector<std::string>& Files);
// The same with the entries delivered one by one, so that the entries added
// before a failure stay in the language box.
void FindLanguageFiles(const std::string& Mask, std::uint32_t Attributes,
                       const std::function<void(const std::string&)>& AddEntry,
                       std::vector<std::string>& Files);

}  // namespace zt
