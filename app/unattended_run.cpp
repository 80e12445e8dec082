#include "app/unattended_run.hpp"

#include "app/program_assembly.hpp"

#include "hosts/console/console_dialog_host.hpp"
#include "hosts/console/console_user_interface.hpp"
#include "platform/message_queue.hpp"
#include "wizard/tovrin_view.hpp"

namespace tovrin {
namespace {

// The main frame of a run without windows: it has no title to show, and
// ends the message loop when the wizard closes it.
class UnattendedFrame : public MessageTarget {
 public:
  explicit UnattendedFrame(MessageQueue& queue) : queue_(queue) {}

  void OnMessage(unsigned message, int) override {
    if (message == WM_CLOSE) queue_.PostQuitMessage();
  }

 private:
  MessageQueue& queue_;
};

}  // namespace

int ExitStatusOf(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::Applied:
      return kExitApplied;
    case UpdateOutcome::AppliedWithWarnings:
      return kExitAppliedWithWarnings;
    case UpdateOutcome::Refused:
      return kExitRefused;
    case UpdateOutcome::Busy:
      return kExitNotNow;
    case UpdateOutcome::Cancelled:
      return kExitCancelled;
    case UpdateOutcome::Stopped:
      return kExitStopped;
    case UpdateOutcome::NotRun:
    case UpdateOutcome::Failed:
      break;
  }
  return kExitFailed;
}

const char* OutcomeMeaning(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::Applied:
      return "applied";
    case UpdateOutcome::AppliedWithWarnings:
      return "applied with warnings: a setting or a master conversion failed";
    case UpdateOutcome::Refused:
      return "refused: nothing was touched";
    case UpdateOutcome::Busy:
      return "not now: the product is in use; nothing was touched, try again later";
    case UpdateOutcome::Cancelled:
      return "cancelled at a disk prompt";
    case UpdateOutcome::Stopped:
      return "stopped: an extraction or a copy failed";
    case UpdateOutcome::Failed:
      return "failed";
    case UpdateOutcome::NotRun:
      break;
  }
  return "not run: the wizard ended before the update ran";
}

int RunUnattended(ProgramAssembly& program, std::ostream& out) {
  ConsoleUserInterface ui(out);
  MessageQueue queue;
  ConsoleDialogHost dialogs(out, &queue);
  UnattendedFrame frame(queue);
  CTovrinView view(program.PlatformFor(ui), program.Archives(), program.DialogsOver(dialogs), queue,
                   frame);
  program.WireRuns(view);
  view.OnCreate();
  queue.Run();
  return ExitStatusOf(view.LastOutcome());
}

}  // namespace tovrin
