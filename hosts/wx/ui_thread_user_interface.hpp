#pragma once
// The boxes and the wait cursor of an update run on a worker thread: each
// call is handed to the user-interface thread, where the toolkit lives, and
// the worker waits there for the answer.

#include <functional>

#include "platform/user_interface.hpp"

namespace tovrin::gui {

// Runs `call` on the user-interface thread and returns once it has; at once
// when called there. An exception of `call` is thrown again to the caller.
void CallOnUiThread(const std::function<void()>& call);

class UiThreadUserInterface : public UserInterface {
 public:
  // `beforeBox` runs on the user-interface thread before each box, with the
  // box's type.
  UiThreadUserInterface(UserInterface& shown, std::function<void(unsigned type)> beforeBox)
      : shown_(shown), beforeBox_(std::move(beforeBox)) {}

  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  UserInterface& shown_;
  std::function<void(unsigned type)> beforeBox_;
};

}  // namespace tovrin::gui
