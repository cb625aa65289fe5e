// Delivers to the window only what a user could do, judged from the model
// view's state, and runs every event through the dispatcher so that errors
// become error reports as in the program.
#pragma once

#include "model_view.h"
#include "principal.h"

namespace zt {

class Driver {
 public:
  Driver(ModelView& view, TForm1& form) : view_(view), form_(form) {}

  // Shows the window (FormShow).
  void Show();
  // Clicks a label. Reaches it only when it and its strip are visible and
  // enabled and no visible direct child of the window above the strip covers
  // the label; returns whether the click reached a handler.
  bool Click(Component label);
  // Gives the language box the focus; only while the language panel shows.
  bool FocusLanguageBox();
  // Chooses entry index of the language box; only while the language panel
  // shows and the entry exists.
  bool Choose(int index);

  // Whether a click on the label would reach it.
  bool Reachable(Component label) const;
  // The button strip in front: the top-most visible one of the four that
  // share the button row, or Component::Form1 when the language panel
  // covers the row.
  Component FrontStrip() const;
  // What the screen area shows: PanelSeleccionIdioma, PanelLocation or
  // Pantalla, whichever is the top-most visible one.
  Component ScreenShows() const;

 private:
  // True when a visible direct child above `below` holds the point.
  bool CoveredAt(Component below, int x, int y) const;

  ModelView& view_;
  TForm1& form_;
};

}  // namespace zt
