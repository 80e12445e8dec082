#include "hosts/win32/user_interface.hpp"

#include "platform/visible_text.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {

int Win32UserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                   const std::string& caption, unsigned type) {
  HWND window = static_cast<HWND>(mainWindow_);
  if (const auto known = owners_.find(owner); known != owners_.end()) {
    window = static_cast<HWND>(known->second);
  } else if (owner != nullptr && IsWindow(static_cast<HWND>(owner))) {
    window = static_cast<HWND>(owner);
  }
  // MessageBoxW takes C strings: a NUL would hide the rest of the text.
  const auto wideText = win32::WideFromCp932(WithVisibleNul(text)).value_or(L"");
  const auto wideCaption = win32::WideFromCp932(WithVisibleNul(caption)).value_or(L"");
  return MessageBoxW(window, wideText.c_str(), wideCaption.c_str(), type);
}

void Win32UserInterface::BeginWaitCursor() {
  ++waiting_;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32UserInterface::EndWaitCursor() {
  if (waiting_ > 0 && --waiting_ == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace tovrin
