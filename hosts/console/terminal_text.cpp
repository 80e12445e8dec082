#include "hosts/console/terminal_text.hpp"

#include "platform/cp932.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

std::string WithoutLineBreaks(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  return line;
}

// Character by character, for a text that does not convert whole.
std::string ConvertEachCharacter(const std::string& text) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const std::size_t length = pair ? 2 : 1;
    utf8 += cp932::ToUtf8(text.substr(i, length)).value_or("?");
    i += length;
  }
  return utf8;
}

}  // namespace

std::string TerminalLine(const std::string& cp932) {
  const std::string line = WithoutLineBreaks(cp932);
  if (const auto utf8 = cp932::ToUtf8(line)) return VisibleText(*utf8);
  return VisibleText(ConvertEachCharacter(line));
}

}  // namespace tovrin
