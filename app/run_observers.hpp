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

// What the listeners watch and where they write.
struct RunObserverSetting {
  const CommandLineOptions& options;
  const std::vector<std::string_view>& arguments;  // the command line, for the log's header
  const std::string& mediumFolder;
  FileSystem& files;  // the file system the runs use (a dry run's own in a dry run)
  const DryRunFileSystem* dryRun = nullptr;  // in a dry run: its report goes to `out`
  std::ostream& out;
  std::ostream& errors;
  bool progressLine = false;  // `errors` is a terminal the log does not tear
};

class RunObservers {
 public:
  explicit RunObservers(const RunObserverSetting& setting);

  RunEvents& Events() { return events_; }

 private:
  LogOutput log_;
  RunLog runLog_;
  TerminalProgress progress_;
  std::optional<DryRunReport> report_;
  RunEventFanout events_;
};

}  // namespace tovrin
