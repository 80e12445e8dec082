#pragma once
// The wizard's update run on a worker thread. The engine stays synchronous;
// this thread keeps the window system's loop going meanwhile, so the main
// window repaints and the busy cursor shows, takes each box of the run to
// show it here, and lets no input reach the main window until the run is
// over. A progress window shows how far the run has come.

#include <wx/window.h>

#include "wizard/update_run_host.hpp"

namespace tovrin {

class WorkerRunHost : public UpdateRunHost {
 public:
  explicit WorkerRunHost(wxWindow& mainWindow) : mainWindow_(mainWindow) {}

  void RunUpdate(UserInterface& ui, const Run& run) override;

 private:
  wxWindow& mainWindow_;
};

}  // namespace tovrin
