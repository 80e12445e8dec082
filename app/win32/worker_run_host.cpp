#include "app/win32/worker_run_host.hpp"

#include "app/progress_box_framing.hpp"
#include "app/win32/progress_window.hpp"
#include "hosts/ui_thread/ui_thread_user_interface.hpp"
#include "hosts/ui_thread/worker_thread.hpp"
#include "hosts/win32/ui_thread.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

void DispatchUntil(const std::atomic<bool>& finished) {
  MSG message;
  while (!finished && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The main window disabled and under the busy cursor for as long as it lives.
class BusyMainWindow {
 public:
  BusyMainWindow(HWND window, bool& running) : window_(window), running_(running) {
    running_ = true;
    EnableWindow(window_, FALSE);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  }
  ~BusyMainWindow() {
    running_ = false;
    EnableWindow(window_, TRUE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
  BusyMainWindow(const BusyMainWindow&) = delete;
  BusyMainWindow& operator=(const BusyMainWindow&) = delete;

 private:
  HWND window_;
  bool& running_;
};

}  // namespace

void WorkerRunHost::RunUpdate(UserInterface& ui, const Run& run) {
  Win32UiThread thread;
  ProgressWindow progress(mainWindow_);
  const BusyMainWindow busy(static_cast<HWND>(mainWindow_), running_);
  UiThreadUserInterface handedOver(thread, ui, ProgressBoxFraming(progress));
  RunOnWorkerThread(
      thread, [&] { run(handedOver, progress.Listener()); }, DispatchUntil);
}

}  // namespace tovrin
