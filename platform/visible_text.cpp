#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

// The length of the valid UTF-8 character at `at` and its code point, or a
// length of 0 when the bytes there are no such character (a stray
// continuation byte, a cut or overlong sequence, a surrogate).
struct Character {
  std::size_t length = 0;
  char32_t code = 0;
};

Character CharacterAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {1, lead};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < smallest || code > 0x10FFFF || surrogate) return {};
  return {length, code};
}

bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

// "\x1b", "\u009b": the kind letter, then `digits` lower-case hex digits.
void AppendEscape(std::string& shown, char kind, char32_t value, int digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  shown += '\\';
  shown += kind;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) shown += kHex[(value >> shift) & 0xF];
}

}  // namespace

std::string VisibleText(std::string_view utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Character character = CharacterAt(utf8, at);
    if (character.length == 0) {
      AppendEscape(shown, 'x', static_cast<unsigned char>(utf8[at]), 2);
      ++at;
      continue;
    }
    if (IsControl(character.code)) {
      if (character.code < 0x80) {
        AppendEscape(shown, 'x', character.code, 2);
      } else {
        AppendEscape(shown, 'u', character.code, 4);
      }
    } else {
      shown.append(utf8, at, character.length);
    }
    at += character.length;
  }
  return shown;
}

std::string WithVisibleNul(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    if (c == '\0') {
      AppendEscape(shown, 'x', 0, 2);
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace tovrin
