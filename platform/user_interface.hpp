#pragma once
// Message boxes and the wait cursor. Hosts: wxWidgets (the wizard), console
// (the unattended run), scripted (tests).

#include <string>

#include "platform/windows_types.hpp"

namespace tovrin {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // type MB_OK or MB_OKCANCEL; returns IDOK or IDCANCEL.
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                         unsigned type) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

// Begins the wait cursor and ends it on every way out of a scope.
class WaitCursor {
 public:
  explicit WaitCursor(UserInterface& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
  ~WaitCursor() { ui_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace tovrin
