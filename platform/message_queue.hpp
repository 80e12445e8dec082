#pragma once
// PostMessage and the message loop: messages wait in posting order and are
// dispatched one at a time, so a command posted during start-up runs only
// once the loop runs, and the view's first command comes before the frame's.

#include <deque>

namespace tovrin {

inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_COMMAND = 0x0111;

// A window that receives posted messages (the view, the main frame).
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void OnMessage(unsigned message, int wParam) = 0;
};

class MessageQueue {
 public:
  void PostMessage(MessageTarget& target, unsigned message, int wParam);
  // Dispatches the oldest waiting message; false when none waits.
  bool DispatchOne();
  // Dispatches until PostQuitMessage or until nothing waits: the program's
  // loop, and what a modal page's own loop does while the page is open. The
  // quit request ends this loop and is used up by it.
  void Run();
  void PostQuitMessage() { quit_ = true; }

 private:
  struct Posted {
    MessageTarget* target;
    unsigned message;
    int wParam;
  };
  std::deque<Posted> waiting_;
  bool quit_ = false;
};

}  // namespace tovrin
