#include "hosts/console/console_user_interface.hpp"

#include "hosts/console/terminal_text.hpp"

namespace tovrin {

int ConsoleUserInterface::MessageBox(WindowHandle, const std::string& text,
                                     const std::string& caption, unsigned type) {
  out_ << TerminalLine(caption) << ": " << TerminalLine(text) << std::endl;
  if (type != MB_OKCANCEL) return IDOK;
  const bool askedBefore = !promptsAnswered_.insert(text).second;
  return askedBefore ? IDCANCEL : IDOK;
}

}  // namespace tovrin
