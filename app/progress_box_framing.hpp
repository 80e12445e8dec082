#pragma once
// How either wizard's progress window stands to the boxes of its run.

#include "hosts/ui_thread/ui_thread_user_interface.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// `Progress` has PutAway(), WaitFor(text), WaitNoMore() and Handle().
template <class Progress>
BoxFraming ProgressBoxFraming(Progress& progress) {
  BoxFraming framing;
  framing.before = [&progress](unsigned type, const std::string& text) -> WindowHandle {
    // Every box but a disk prompt comes after the last record: it is among
    // the run's closing boxes, which the progress window is gone before.
    if (type != MB_OKCANCEL) {
      progress.PutAway();
      return nullptr;
    }
    // The prompt belongs to the progress window, so that it is stacked
    // above it, which says meanwhile what the run waits for.
    progress.WaitFor(text);
    return progress.Handle();
  };
  framing.after = [&progress](unsigned type) {
    if (type == MB_OKCANCEL) progress.WaitNoMore();
  };
  return framing;
}

}  // namespace tovrin
