#pragma once
// The small window over the main window while an update runs, as on Linux:
// a modeless dialog from the same template, the record being processed and
// a bar over the bytes of all records, redrawn from what the worker's run
// told at most ten times a second.

#include <string>

#include "app/run_progress.hpp"

namespace tovrin {

class ProgressWindow {
 public:
  // Hidden over `mainWindow` (an HWND): a run that ends within a moment
  // never shows it.
  explicit ProgressWindow(void* mainWindow);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // The run's listener, for the worker thread.
  RunEvents& Listener() { return progress_; }
  // Hidden for good: the run's closing boxes are to come.
  void PutAway();
  // On screen at once, saying what the run waits for (a disk prompt's text)
  // until WaitNoMore.
  void WaitFor(const std::string& text);
  void WaitNoMore();
  // What owns a box stacked above it (the dialog's HWND).
  void* Handle() const { return window_; }

 private:
  void OnTick();

  RunProgress progress_;
  void* window_ = nullptr;
  unsigned long long startedAt_ = 0;  // GetTickCount64
  bool putAway_ = false;
  ProgressSnapshot shown_;
  std::wstring working_;  // the template's text: the run is at work

  friend struct ProgressWindowProcedure;
};

}  // namespace tovrin
