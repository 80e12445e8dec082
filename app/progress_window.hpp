#pragma once
// The small window over the main window while an update runs: the record
// being processed (its source and its target folder) and a bar over the
// bytes of all records. It listens to the run on the worker thread and
// redraws from what it heard at most ten times a second.

#include <map>

#include <wx/dialog.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "app/run_progress.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

class ProgressWindow : public wxDialog {
 public:
  // Built from its template over `mainWindow`, hidden: a run that ends
  // within a moment never shows it.
  explicit ProgressWindow(wxWindow* mainWindow);

  // The run's listener, for the worker thread.
  RunEvents& Listener() { return progress_; }
  // Hidden for good: the run's closing boxes are to come.
  void PutAway();
  // On screen at once, saying what the run waits for (a disk prompt's text)
  // until WaitNoMore.
  void WaitFor(const std::string& text);
  void WaitNoMore();
  // What owns a box stacked above it.
  WindowHandle Handle() { return static_cast<wxWindow*>(this); }

  wxWindow* Control(int id) const;

 private:
  void CreateControls();
  void OnTick();

  RunProgress progress_;
  wxTimer ticker_;
  wxStopWatch sinceStart_;
  bool putAway_ = false;
  ProgressSnapshot shown_;
  wxString working_;  // the template's text: the run is at work
  std::map<int, wxWindow*> controls_;
};

}  // namespace tovrin
