#include "tests/x_display/window_manager.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/x_display/x_devices.hpp"

extern char** environ;

namespace tovrin::testing {
namespace {

// A manager announces itself on the root window once it has taken over.
bool IsManaged() {
  return CommandOutput("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") !=
         std::string::npos;
}

}  // namespace

bool WindowManager::Start() {
  if (IsManaged()) return true;
  char program[] = "openbox";
  char* argv[] = {program, nullptr};
  for (int tries = 0; tries < 200; ++tries) {
    // A manager that could not take the display yet is started again.
    if (pid_ <= 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      if (posix_spawnp(&pid_, program, nullptr, nullptr, argv, environ) != 0) {
        pid_ = -1;
        return false;
      }
    }
    if (IsManaged()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void WindowManager::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace tovrin::testing
