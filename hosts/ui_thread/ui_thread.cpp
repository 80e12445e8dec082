#include "hosts/ui_thread/ui_thread.hpp"

#include <exception>
#include <future>

namespace tovrin {

void UiThread::Call(const std::function<void()>& call) {
  if (IsCurrent()) {
    call();
    return;
  }
  std::promise<void> done;
  Post([&call, &done] {
    try {
      call();
      done.set_value();
    } catch (...) {
      done.set_exception(std::current_exception());
    }
  });
  done.get_future().get();
}

}  // namespace tovrin
