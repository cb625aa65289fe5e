// The events the window handles, one for each handler of the form. The real
// window raises them from its controls, the tests' driver from the clicks a
// user could make; HandleEvent (principal.h) runs the handler of each.
#pragma once

#include <optional>

#include "components.h"

namespace zt {

enum class FormEvent {
  FormShow,
  LabelSalirClick,
  ComboLanguagesEnter,
  ComboLanguagesSelect,
  LabelBotonPSPClick,
  LabelSaveLocationClick,
  LabelDownloadClick,
  LabelInstalarClick,
};

// The click event of a label that acts as a button; nothing for any other
// component (a click on it does nothing).
inline std::optional<FormEvent> ClickEvent(Component label) {
  switch (label) {
    case Component::LabelSalir: return FormEvent::LabelSalirClick;
    case Component::LabelBotonPSP: return FormEvent::LabelBotonPSPClick;
    case Component::LabelSaveLocation: return FormEvent::LabelSaveLocationClick;
    case Component::LabelDownload: return FormEvent::LabelDownloadClick;
    case Component::LabelInstalar: return FormEvent::LabelInstalarClick;
    default: return std::nullopt;
  }
}

}  // namespace zt
