#include "app/lost_output.hpp"

#include <csignal>

namespace tovrin {

void KeepRunningWhenOutputIsLost() {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

void ReportLostOutput(std::ostream& out, std::ostream& err) {
  out.flush();
  if (!out.fail()) return;
  err << "tovrin: standard output was lost; the run went on\n";
}

}  // namespace tovrin
