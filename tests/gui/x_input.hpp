#pragma once
// Real input through the X server on the wizard's wx windows: where their
// parts are on the screen, and whether the window manager focused them.

#include <wx/window.h>

#include "tests/x_display/x_devices.hpp"

namespace tovrin::testing {

// A click of the left button at the middle of `window`, or at `point` on
// the screen.
void Click(wxWindow* window);
inline void ClickAt(const wxPoint& point) { ClickAt(point.x, point.y); }
// Where on the screen entry `index` of a list box is shown (the origin
// when it is not on screen).
wxPoint EntryPoint(wxWindow* listBox, int index);
// True when the window manager has given `topLevel` the keyboard focus.
bool HasTheFocus(wxWindow* topLevel);
// True when the window manager stacks `upper` above `lower` (both on screen).
bool StackedAbove(wxWindow* upper, wxWindow* lower);

}  // namespace tovrin::testing
