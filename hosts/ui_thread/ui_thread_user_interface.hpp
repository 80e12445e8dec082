#pragma once
// The boxes and the wait cursor of an update run on a worker thread: each
// call is handed to the user-interface thread, where the window system
// lives, and the worker waits there for the answer.

#include <functional>

#include "hosts/ui_thread/ui_thread.hpp"
#include "platform/user_interface.hpp"

namespace tovrin {

class UiThreadUserInterface : public UserInterface {
 public:
  // `beforeBox` runs on the user-interface thread before each box, with the
  // box's type.
  UiThreadUserInterface(UiThread& thread, UserInterface& shown,
                        std::function<void(unsigned type)> beforeBox)
      : thread_(thread), shown_(shown), beforeBox_(std::move(beforeBox)) {}

  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  UiThread& thread_;
  UserInterface& shown_;
  std::function<void(unsigned type)> beforeBox_;
};

}  // namespace tovrin
