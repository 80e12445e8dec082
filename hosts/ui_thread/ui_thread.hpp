#pragma once
// The thread the window system lives on, as each host reaches it from
// another thread.

#include <functional>

namespace tovrin {

class UiThread {
 public:
  virtual ~UiThread() = default;
  virtual bool IsCurrent() const = 0;
  // Has `call` run there by whichever loop runs next, a box's own included.
  virtual void Post(std::function<void()> call) = 0;

  // Runs `call` there and returns once it has; at once when called there.
  // An exception of `call` is thrown again to the caller.
  void Call(const std::function<void()>& call);
};

}  // namespace tovrin
