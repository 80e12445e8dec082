#pragma once
// CP932 texts as one line of UTF-8 for the terminal.

#include <string>

namespace tovrin {

// Line breaks become blanks so that one message stays one line; a byte with
// no UTF-8 counterpart shows as "?" rather than dropping the whole text, and
// control characters show as escapes (VisibleText).
std::string TerminalLine(const std::string& cp932);

}  // namespace tovrin
