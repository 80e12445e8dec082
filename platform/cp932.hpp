#pragma once
// Code page 932 (Shift-JIS): every text of the program is CP932 bytes; only
// the platform layer converts, at the edges (host file names, GTK, terminal).

#include <optional>
#include <string>
#include <string_view>

namespace tovrin::cp932 {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char byte);

// Conversions by each system's side (posix/code_page.cpp, win32/code_page.cpp).
// A byte sequence or character without a counterpart gives nullopt: nothing
// is ever silently replaced.
std::optional<std::string> ToUtf8(std::string_view cp932);
std::optional<std::string> FromUtf8(std::string_view utf8);

// CString::MakeUpper: ASCII letters only, never a second byte.
void MakeUpper(std::string& text);

// CString::Find: first occurrence at or after `start` whose match begins on
// a character boundary; -1 when there is none.
int Find(std::string_view text, std::string_view pattern, int start = 0);

// Length of the longest prefix of `text` of at most `limit` bytes that does
// not end in the first byte of a double-byte character.
std::size_t CharacterBoundary(std::string_view text, std::size_t limit);

}  // namespace tovrin::cp932

namespace tovrin::cp932 {

// A text of the program's own, written in UTF-8 in the source (messages,
// captions, keys), as the CP932 bytes the program works with. The texts are
// known to convert; one that does not is a programming error and aborts.
std::string Text(std::string_view utf8);

}  // namespace tovrin::cp932
