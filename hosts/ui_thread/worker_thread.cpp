#include "hosts/ui_thread/worker_thread.hpp"

#include <exception>
#include <thread>

namespace tovrin {

void RunOnWorkerThread(UiThread& thread, const std::function<void()>& work,
                       const std::function<void(const std::atomic<bool>& finished)>& loopUntil) {
  std::exception_ptr failure;
  std::atomic<bool> finished = false;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
    // A loop waiting for messages would not look at `finished` again.
    thread.Post([] {});
  });
  loopUntil(finished);
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tovrin
