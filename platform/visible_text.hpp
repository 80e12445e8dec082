#pragma once
// Text bound for a terminal or a log, shown so that nothing in it can drive
// the terminal: a name from the medium must not set a title or clear a screen.

#include <string>
#include <string_view>

namespace tovrin {

// Keeps ordinary UTF-8 text byte for byte and shows the rest as escapes:
// a C0 control or DEL as "\x" and two hex digits ("\x1b"), a C1 control as
// "\u" and four ("\u009b"), a byte that starts no valid UTF-8 character as
// "\x" and two hex digits (0x80 and above). Line breaks are escaped too:
// the caller writes its own line end.
std::string VisibleText(std::string_view utf8);

// A text (CP932 or UTF-8) bound for a C string, such as a message buffer or
// a system call: each NUL shows as "\x00", as VisibleText shows it, rather
// than ending the text there. No other byte changes; a NUL is never part of
// a double-byte character.
std::string WithVisibleNul(std::string_view text);

}  // namespace tovrin
