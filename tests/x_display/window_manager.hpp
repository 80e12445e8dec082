#pragma once
// The window manager the GUI tests run under (openbox), started on the
// test display unless one already manages it: pages, boxes and the main
// window are stacked, focused and decorated as a user's desktop does.

#include <sys/types.h>

namespace tovrin::testing {

class WindowManager {
 public:
  // False when none manages the display and openbox could not be started.
  bool Start();
  // Ends only the manager this object started.
  void Stop();

 private:
  pid_t pid_ = -1;
};

}  // namespace tovrin::testing
