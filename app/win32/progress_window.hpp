#pragma once
// The small window over the main window while an update runs, as on Linux:
// a modeless dialog from the same template, the record being processed and
// a bar over the bytes of all records, redrawn from what the worker's run
// told at most ten times a second.

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
  // On screen now, not after the delay.
  void ShowNow();
  // The dialog's HWND while it is on screen, else null.
  void* ShownWindow() const;

 private:
  void OnTick();

  RunProgress progress_;
  void* window_ = nullptr;
  unsigned long long startedAt_ = 0;  // GetTickCount64
  bool putAway_ = false;
  ProgressSnapshot shown_;

  friend struct ProgressWindowProcedure;
};

}  // namespace tovrin
