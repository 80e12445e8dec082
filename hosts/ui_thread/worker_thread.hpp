#pragma once
// An update run on a thread of its own while the window's thread goes on
// running the window system's loop, so that the window stays drawn.

#include <atomic>
#include <functional>

#include "hosts/ui_thread/ui_thread.hpp"

namespace tovrin {

// Runs `work` on a worker and `loopUntil` here until `finished` turns true
// (the loop is woken by a posted call then). An exception of `work` is
// thrown again here once the worker has ended.
void RunOnWorkerThread(UiThread& thread, const std::function<void()>& work,
                       const std::function<void(const std::atomic<bool>& finished)>& loopUntil);

}  // namespace tovrin
