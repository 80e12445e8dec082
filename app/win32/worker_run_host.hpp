#pragma once
// The wizard's update run on a worker thread, as on Linux: the engine stays
// synchronous; this thread goes on dispatching the window's messages, so the
// main window stays drawn under the busy cursor and takes no input, shows
// each box of the run here, and the progress window shows how far it came.

#include "wizard/update_run_host.hpp"

namespace tovrin {

class WorkerRunHost : public UpdateRunHost {
 public:
  explicit WorkerRunHost(void* mainWindow) : mainWindow_(mainWindow) {}

  void RunUpdate(UserInterface& ui, const Run& run) override;
  // True while a run goes on: the main window shows the busy cursor.
  bool Running() const { return running_; }

 private:
  void* mainWindow_;  // HWND
  bool running_ = false;
};

}  // namespace tovrin
