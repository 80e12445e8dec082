#pragma once
// Real input through the X server (xdotool): the pointer moved and
// clicked, keys pressed and text typed, as a user's devices send them. The
// window manager then decides, as on a desktop, which window gets them.

#include <string>

#include <wx/window.h>

namespace tovrin::testing {

// What a shell command prints on its standard output.
std::string CommandOutput(const std::string& command);

// A click of the left button at the middle of `window`, or at `point` on
// the screen.
void Click(wxWindow* window);
void ClickAt(const wxPoint& point);
// Where on the screen entry `index` of a list box is shown (the origin
// when it is not on screen).
wxPoint EntryPoint(wxWindow* listBox, int index);
// Keys by their X names, pressed one after the other: "Tab Tab Return".
void PressKeys(const std::string& keys);
// Text typed into the focused window, UTF-8.
void TypeText(const std::string& text);
// True when the window manager has given `topLevel` the keyboard focus.
bool HasTheFocus(wxWindow* topLevel);
// True when the window manager stacks `upper` above `lower` (both on screen).
bool StackedAbove(wxWindow* upper, wxWindow* lower);

}  // namespace tovrin::testing
