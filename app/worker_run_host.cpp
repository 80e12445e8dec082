#include "app/worker_run_host.hpp"

#include <atomic>
#include <exception>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "app/progress_window.hpp"
#include "hosts/wx/ui_thread_user_interface.hpp"

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
  auto* progress = new ProgressWindow(&mainWindow_);
  std::exception_ptr failure;
  {
    wxWindowDisabler blockInput(progress);
    wxBusyCursor busy;
    gui::BoxFraming framing;
    framing.before = [progress](unsigned type, const std::string& text) -> WindowHandle {
      // Every box but a disk prompt comes after the last record: it is
      // among the run's closing boxes.
      if (type != MB_OKCANCEL) {
        progress->PutAway();
        return nullptr;
      }
      // The prompt belongs to the progress window, so that it is stacked
      // above it, which says meanwhile what the run waits for.
      progress->WaitFor(text);
      return static_cast<wxWindow*>(progress);
    };
    framing.after = [progress](unsigned type) {
      if (type == MB_OKCANCEL) progress->WaitNoMore();
    };
    gui::UiThreadUserInterface handedOver(ui, framing);
    std::atomic<bool> finished = false;
    std::thread worker([&] {
      try {
        run(handedOver, progress->Listener());
      } catch (...) {
        failure = std::current_exception();
      }
      finished = true;
    });
    RunLoopUntil(finished);
    worker.join();
  }
  progress->PutAway();
  progress->Destroy();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tovrin
