#pragma once
// The unattended run: the wizard's controller and pages, driven by the
// console hosts, with no display. Boxes and the confirm page's destination
// go to `out`, one line each.

#include <ostream>

#include "engine/update_run.hpp"

namespace tovrin {

class ProgramAssembly;

// Exit statuses of the unattended run.
enum ExitStatus : int {
  kExitApplied = 0,
  kExitAppliedWithWarnings = 1,  // a master conversion reported a failure
  kExitRefused = 2,              // nothing was touched
  kExitCancelled = 3,            // at a disk prompt
  kExitStopped = 4,              // a failed extraction or copy
  kExitFailed = 5,               // anything else
  kExitNotNow = 6,               // another run or a running program holds the product
};

int ExitStatusOf(UpdateOutcome outcome);
// What the outcome means, in a few English words.
const char* OutcomeMeaning(UpdateOutcome outcome);

// Runs the wizard on the platform's medium with the console hosts.
// --dest stands in the destination page's path field after the
// install-folder lookup, as if typed. Returns the exit status.
int RunUnattended(ProgramAssembly& program, std::ostream& out);

}  // namespace tovrin
