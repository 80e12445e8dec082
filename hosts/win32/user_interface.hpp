#pragma once
// Message boxes (MessageBoxW) and the wait cursor of the wizard on Windows.

#include <map>

#include "platform/user_interface.hpp"

namespace tovrin {

class Win32UserInterface : public UserInterface {
 public:
  // A window (HWND) that owns boxes asked for under a handle of the
  // program's own (the view hands its own address to the update run).
  void SetOwnerWindow(WindowHandle handle, void* window) { owners_[handle] = window; }
  void SetMainWindow(void* window) { mainWindow_ = window; }

  // Modal to its owner: a known handle, an open page (whose handle is its
  // window), else the main window.
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  std::map<WindowHandle, void*> owners_;
  void* mainWindow_ = nullptr;
  int waiting_ = 0;
};

}  // namespace tovrin
