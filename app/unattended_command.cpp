#include "app/unattended_command.hpp"

#include <filesystem>
#include <optional>

#include "app/dry_run_file_system.hpp"
#include "app/dry_run_journal_files.hpp"
#include "app/run_observers.hpp"
#include "app/unattended_run.hpp"
#include "app/utf8_path.hpp"

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
    // Its writes go to a temporary folder: without one it could only guess.
    if (!dryRun.emplace(*services.hostFiles).KeepsWrites()) {
      std::error_code ignored;
      errors << "tovrin: the dry run needs a temporary folder of its own and cannot make one in "
             << Utf8Of(std::filesystem::temp_directory_path(ignored)) << "\n";
      return kExitFailed;
    }
    files = &dryRunFiles.emplace(*dryRun);
    archives = &dryRunArchives.emplace(*files);
    dryRunJournal.emplace();
  }
  RunObservers observers(options, arguments, *files, dryRun ? &*dryRun : nullptr, out, errors,
                         errorsOnTerminal);
  return RunUnattended(*files, services.registry, *archives, services.typedDestination, out,
                       observers.Events(), dryRunJournal ? &*dryRunJournal : nullptr);
}

}  // namespace tovrin
