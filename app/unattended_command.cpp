#include "app/unattended_command.hpp"

#include <optional>

#include "app/dry_run_file_system.hpp"
#include "app/dry_run_journal_files.hpp"
#include "app/run_observers.hpp"
#include "app/unattended_run.hpp"

namespace tovrin {

// A dry run reads the product and the medium through a file system that
// keeps every write to itself, and extracts through it too.
int RunUnattendedCommand(const CommandLineOptions& options,
                         const std::vector<std::string_view>& arguments,
                         ProgramServices& services, std::ostream& out, std::ostream& errors,
                         bool errorsOnTerminal) {
  std::optional<DryRunFileSystem> dryRun;
  std::optional<ObservedFileSystem> dryRunFiles;
  std::optional<LzhArchiveLibrary> dryRunArchives;
  std::optional<DryRunJournalFiles> dryRunJournal;
  ObservedFileSystem* files = services.files.get();
  ArchiveLibrary* archives = services.archives.get();
  if (options.dryRun) {
    files = &dryRunFiles.emplace(dryRun.emplace(*services.hostFiles));
    archives = &dryRunArchives.emplace(*files);
    dryRunJournal.emplace();
  }
  RunObservers observers(options, arguments, *files, dryRun ? &*dryRun : nullptr, out, errors,
                         errorsOnTerminal);
  const int status = RunUnattended(*files, services.registry, *archives, services.typedDestination,
                                   out, observers.Events(),
                                   dryRunJournal ? &*dryRunJournal : nullptr);
  observers.Finish(status);
  return status;
}

}  // namespace tovrin
