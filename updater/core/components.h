// The window's components: identity, parent, layout and built-in values.
// One table serves the real window (which creates its controls from it) and
// the model view of the tests (which keeps their state).
#pragma once

#include <cstddef>
#include <span>

namespace zt {

// Every component of the window. The window's direct children appear in
// creation order, which is also their initial stacking order, bottom to top.
enum class Component {
  ImagePSP,
  PanelLocation2,
  LabelSaveLocation,
  PanelLocation,
  LabelObservador,
  LabelNombre,
  EditNombre,
  LabelLatitud,
  EditLat,
  LabelLongitud,
  EditLon,
  LabelAltitud,
  EditAlt,
  LabelTimezone,
  EditOffset,
  LabelDST,
  CheckBoxVerano,
  LabelCalSky,
  PanelActualizar,
  LabelDownload,
  PanelInstalar,
  LabelInstalar,
  PanelDetectarPSP,
  LabelBotonPSP,
  Pantalla,
  PanelSalir,
  LabelSalir,
  PanelSeleccionIdioma,
  Splash,
  LabelVersion,
  Label1,
  ComboLanguages,
  Form1,  // the window itself; parent of its direct children, not in the table
};

enum class Kind { Image, Panel, Label, Memo, Edit, CheckBox, ComboBox };

struct ComponentInfo {
  Component id;
  const char* name;
  Kind kind;
  Component parent;  // Component::Form1 for the window's direct children
  int left, top, width, height;  // labels size themselves: width/height 0
  const char* text;  // built-in caption or text (8-bit, ANSI code page); may be empty
  int max_length;    // edits only; 0 = no limit
};

// Window text (the window has no title bar) and the application title, which
// captions the task-bar entry and every error box.
inline constexpr const char* kWindowText = "ZenTrovia Updater - Zentrovia Portable 1.2";
inline constexpr const char* kApplicationTitle = "ZenTrovia Updater";
inline constexpr int kClientWidth = 541;
inline constexpr int kClientHeight = 234;
// The language box's prompt, shown as its text while nothing is chosen.
inline constexpr const char* kLanguagePrompt = "Choose your language...";

// All components in creation order (direct children bottom to top, each
// followed by its own children).
std::span<const ComponentInfo> AllComponents();
const ComponentInfo& Info(Component c);
// True for the window's direct children, the only ones that stacking moves.
inline bool IsTopLevel(Component c) { return Info(c).parent == Component::Form1; }
// Component by its name ("PanelLocation"), or Component::Form1 when unknown.
Component ComponentByName(const char* name);

}  // namespace zt
