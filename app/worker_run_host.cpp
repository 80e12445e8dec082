#include "app/worker_run_host.hpp"

#include <memory>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "app/progress_window.hpp"
#include "app/progress_box_framing.hpp"
#include "hosts/ui_thread/ui_thread_user_interface.hpp"
#include "hosts/ui_thread/worker_thread.hpp"
#include "hosts/wx/ui_thread.hpp"

namespace tovrin {
namespace {

constexpr int kPollMilliseconds = 20;

class Poller : public wxTimer {
 public:
  explicit Poller(std::function<void()> poll) : poll_(std::move(poll)) { Start(kPollMilliseconds); }
  void Notify() override { poll_(); }

 private:
  std::function<void()> poll_;
};

// Runs the window system's loop until `finished`. The run is asked for from
// inside an idle handler, where idle time (and with it the calls handed over
// from the worker) does not come: a timer takes those calls instead.
void RunLoopUntil(const std::atomic<bool>& finished) {
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  Poller poller([&] {
    wxTheApp->ProcessPendingEvents();
    // Only the loop itself may end, never from inside a box's own loop.
    if (finished && wxEventLoopBase::GetActive() == &loop) loop.Exit();
  });
  loop.Run();
}

}  // namespace

void WorkerRunHost::RunUpdate(UserInterface& ui, const Run& run) {
  // Put away and destroyed on every way out, a failed run's too.
  const std::unique_ptr<ProgressWindow, void (*)(ProgressWindow*)> progress(
      new ProgressWindow(&mainWindow_), [](ProgressWindow* window) {
        window->PutAway();
        window->Destroy();
      });
  wxWindowDisabler blockInput(progress.get());
  wxBusyCursor busy;
  gui::WxUiThread thread;
  UiThreadUserInterface handedOver(thread, ui, ProgressBoxFraming(*progress));
  RunOnWorkerThread(
      thread, [&] { run(handedOver, progress->Listener()); }, RunLoopUntil);
}

}  // namespace tovrin
