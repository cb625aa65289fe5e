// The events the window reports to the program, one for each handler of the
// form. The window raises them; the program entry maps them to TForm1's
// methods through the dispatcher.
#pragma once

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

}  // namespace zt
