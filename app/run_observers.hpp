#pragma once
// The listeners of this program's update runs, as the command line chose
// them: the log always, the progress line on a terminal, the dry run's
// report in a dry run.

#include <chrono>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "engine/dry_run_file_system.hpp"
#include "app/dry_run_report.hpp"
#include "app/log_output.hpp"
#include "app/run_log.hpp"
#include "app/terminal_progress.hpp"
#include "engine/run_events.hpp"

namespace tovrin {

class RunObservers {
 public:
  // `files` is the file system the runs use (a dry run's own in a dry run);
  // `terminal` says whether `errors` is a terminal.
  RunObservers(const CommandLineOptions& options, const std::vector<std::string_view>& arguments,
               const std::string& mediumFolder, FileSystem& files, const DryRunFileSystem* dryRun,
               std::ostream& out, std::ostream& errors, bool terminal);

  RunEvents& Events() { return events_; }

 private:
  LogOutput log_;
  RunLog runLog_;
  TerminalProgress progress_;
  std::optional<DryRunReport> report_;
  RunEventFanout events_;
};

}  // namespace tovrin
