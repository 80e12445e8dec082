#include "hosts/wx/user_interface.hpp"

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/message_box.hpp"

namespace tovrin::gui {

wxWindow* WxUserInterface::OwnerWindow(WindowHandle owner) const {
  if (const auto known = owners_.find(owner); known != owners_.end()) return known->second;
  // Compared as addresses only: a handle that is no window is never used.
  for (wxWindow* window : wxTopLevelWindows) {
    if (static_cast<WindowHandle>(window) == owner) return window;
  }
  return wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
}

int WxUserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                const std::string& caption, unsigned type) {
  const bool withCancel = type == MB_OKCANCEL;
  const int answer =
      ShowMessageBox(OwnerWindow(owner), ToWxVisible(text), ToWxVisible(caption), withCancel);
  return answer == wxID_OK ? IDOK : IDCANCEL;
}

void WxUserInterface::BeginWaitCursor() { wxBeginBusyCursor(); }

void WxUserInterface::EndWaitCursor() { wxEndBusyCursor(); }

}  // namespace tovrin::gui
