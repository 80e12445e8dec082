#pragma once
// Message boxes and the wait cursor of the wizard.

#include <map>

#include <wx/window.h>

#include "platform/user_interface.hpp"

namespace tovrin::gui {

class WxUserInterface : public UserInterface {
 public:
  // A window that owns message boxes under a handle of the program's own
  // (the view hands its own address to the update run).
  void SetOwnerWindow(WindowHandle handle, wxWindow* window) { owners_[handle] = window; }

  // The box is modal to its owner: a known handle, an open page (whose
  // handle is its window), else the main window.
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  wxWindow* OwnerWindow(WindowHandle owner) const;
  std::map<WindowHandle, wxWindow*> owners_;
};

}  // namespace tovrin::gui
