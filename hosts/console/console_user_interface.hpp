#pragma once
// Message boxes of the unattended run: each printed as one line
// "caption: text" and answered as nobody at the machine would.

#include <ostream>
#include <set>
#include <string>

#include "platform/user_interface.hpp"

namespace tovrin {

class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::ostream& out) : out_(out) {}

  // OK, except that a box with OK and Cancel (a disk prompt) asked a second
  // time with the same text is cancelled: nobody is there to change disks.
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

 private:
  std::ostream& out_;
  std::set<std::string> promptsAnswered_;
};

}  // namespace tovrin
