#pragma once
// Real input through the X server (xdotool): the pointer moved and
// clicked, keys pressed and text typed, as a user's devices send them. The
// window manager then decides, as on a desktop, which window gets them.
// Nothing here knows a toolkit: the wizard's tests and those of the Windows
// program under Wine (whose windows are X windows too) share it.

#include <string>

namespace tovrin::testing {

// `text` as one word of a shell command.
std::string ShellQuoted(const std::string& text);
// What a shell command prints on its standard output.
std::string CommandOutput(const std::string& command);

// A click of the left button at a point of the screen.
void ClickAt(int x, int y);
// The pointer moved there, nothing pressed.
void MovePointerTo(int x, int y);
// Keys by their X names, pressed one after the other: "Tab Tab Return".
void PressKeys(const std::string& keys);
// Text typed into the focused window, UTF-8.
void TypeText(const std::string& text);
// The X window that has the keyboard focus by the window manager's word; 0
// when none.
unsigned long ActiveWindow();

}  // namespace tovrin::testing
