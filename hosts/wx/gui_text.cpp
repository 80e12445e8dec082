#include "hosts/wx/gui_text.hpp"

#include <algorithm>

#include "platform/cp932.hpp"
#include "platform/visible_text.hpp"

namespace tovrin::gui {
namespace {

// The length of the character starting at `at`: two bytes for a lead byte
// with a byte after it, else one.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  return cp932::IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

wxString ToWx(std::string_view cp932) {
  if (const auto utf8 = cp932::ToUtf8(cp932)) return wxString::FromUTF8(utf8->data(), utf8->size());
  wxString shown;
  for (std::size_t at = 0; at < cp932.size();) {
    const std::size_t length = CharacterLength(cp932, at);
    const auto utf8 = cp932::ToUtf8(cp932.substr(at, length));
    shown += utf8 ? wxString::FromUTF8(utf8->data(), utf8->size()) : wxString(wxUniChar(0xFFFD));
    at += length;
  }
  return shown;
}

wxString ToWxVisible(std::string_view cp932) {
  // CR and LF are never the second byte of a CP932 character.
  wxString shown;
  for (std::size_t at = 0;;) {
    const std::size_t lineEnd = std::min(cp932.find_first_of("\r\n", at), cp932.size());
    const wxString line = ToWx(cp932.substr(at, lineEnd - at));
    const wxScopedCharBuffer utf8 = line.utf8_str();
    const std::string visible = VisibleText({utf8.data(), utf8.length()});
    shown += wxString::FromUTF8(visible.data(), visible.size());
    if (lineEnd == cp932.size()) return shown;
    shown += '\n';
    at = lineEnd + (cp932.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1);
  }
}

std::string FromWx(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  if (const auto whole = cp932::FromUtf8({utf8.data(), utf8.length()})) return *whole;
  std::string cp932;
  for (const wxUniChar character : text) {
    // The buffer belongs to the string it came from: keep that alive.
    const wxString one(character);
    const wxScopedCharBuffer bytes = one.utf8_str();
    cp932 += cp932::FromUtf8({bytes.data(), bytes.length()}).value_or("?");
  }
  return cp932;
}

}  // namespace tovrin::gui
