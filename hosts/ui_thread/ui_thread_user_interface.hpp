#pragma once
// The boxes and the wait cursor of an update run on a worker thread: each
// call is handed to the user-interface thread, where the window system
// lives, and the worker waits there for the answer.

#include <functional>
#include <string>

#include "hosts/ui_thread/ui_thread.hpp"
#include "platform/user_interface.hpp"

namespace tovrin {

// What the run host does around each box, on the user-interface thread.
struct BoxFraming {
  // Before the box, with its type and text: the window to own it instead of
  // the one the run names (nullptr: that one).
  std::function<WindowHandle(unsigned type, const std::string& text)> before;
  // Once it is answered.
  std::function<void(unsigned type)> after;
};

class UiThreadUserInterface : public UserInterface {
 public:
  UiThreadUserInterface(UiThread& thread, UserInterface& shown, BoxFraming framing)
      : thread_(thread),
        shown_(shown),
        framing_(std::move(framing)) {}

  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  UiThread& thread_;
  UserInterface& shown_;
  BoxFraming framing_;
};

}  // namespace tovrin
