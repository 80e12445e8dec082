#pragma once
// The one crossing between the program's CP932 texts and GTK's UTF-8.

#include <string>
#include <string_view>

#include <wx/string.h>

namespace tovrin::gui {

// A CP932 text for a widget. Bytes that are no CP932 character show as
// U+FFFD rather than hiding the rest of the text.
wxString ToWx(std::string_view cp932);

// A CP932 text for a message box: line breaks stay, every other control
// character shows as its escape (VisibleText). GTK draws most controls as hex
// boxes, but cuts a label at a NUL and hides the rest of a name.
wxString ToWxVisible(std::string_view cp932);

// A widget's text as CP932; a character CP932 lacks becomes '?', as an
// ANSI Windows control gives it.
std::string FromWx(const wxString& text);

}  // namespace tovrin::gui
