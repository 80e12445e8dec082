#pragma once
// The one place that builds the program from its parts, for every front end
// (the Linux wizard, the Windows wizard, the unattended run and its dry run,
// --undo): the services the command line sets up, the file system the runs
// write through and its observed decorator, the journal, the log, the
// progress line, a dry run's report, the report for machines (--report),
// --dest over the dialog host, and the wiring of the view's update runs. A front end hands in only
// what is its own: its user interface, its dialog host, its run host.

#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/machine_report.hpp"
#include "engine/dry_run_file_system.hpp"
#include "app/program_services.hpp"
#include "app/run_observers.hpp"
#include "engine/update_run.hpp"
#include "platform/dialog_host.hpp"
#include "platform/journal_files.hpp"
#include "platform/platform.hpp"
#include "wizard/tovrin_view.hpp"
#include "wizard/typed_destination.hpp"
#include "wizard/update_run_host.hpp"

namespace tovrin {

// Where the program writes, and whether its errors go to a terminal.
struct ProgramStreams {
  std::ostream& out;
  std::ostream& errors;
  bool errorsOnTerminal = false;
};

class ProgramAssembly {
  // How the last update run ended; kept here because the wizard's view is
  // gone by the time its window system's loop returns.
  class LastOutcome : public RunEvents {
   public:
    void RunEnded(UpdateOutcome outcome) override { outcome_ = outcome; }
    UpdateOutcome Outcome() const { return outcome_; }

   private:
    UpdateOutcome outcome_ = UpdateOutcome::NotRun;
  };

 public:
  ProgramAssembly(const CommandLineOptions& options, const std::vector<std::string_view>& arguments,
                  std::unique_ptr<ProgramServices> services, const ProgramStreams& streams);

  // What the view and its pages work on, with the front end's `ui`.
  Platform& PlatformFor(UserInterface& ui);
  ArchiveLibrary& Archives() { return *archives_; }
  // `host`, with --dest typed into the destination page's path field.
  DialogHost& DialogsOver(DialogHost& host);
  // The view's update runs: watched through the observed file system,
  // journaled, logged (and reported in a dry run), and shown by `runHost`
  // (else run in place).
  void WireRuns(CTovrinView& view, UpdateRunHost* runHost = nullptr);

  // False for a dry run that has no private temporary folder for its writes.
  bool Ready() const { return !dryRun_ || dryRun_->KeepsWrites(); }
  // The exit status of the last update run of a wired view (of none: not run).
  int ExitStatus() const;

  // --undo: the last update of the product at --dest taken back.
  int Undo(std::ostream& out, std::ostream& errors);

  // The program ends with `status`, whatever ran: the report for machines
  // is written with it. Returns `status`.
  int Ended(int status);

 private:
  const CommandLineOptions options_;
  const std::vector<std::string_view> arguments_;
  const ProgramStreams streams_;
  std::unique_ptr<ProgramServices> services_;
  // A dry run reads the product and the medium through a file system that
  // keeps every write to itself, extracts through it, and journals nothing.
  std::optional<DryRunFileSystem> dryRun_;
  std::optional<ObservedFileSystem> dryRunFiles_;
  std::optional<LzhArchiveLibrary> dryRunArchives_;
  ObservedFileSystem* files_;
  ArchiveLibrary* archives_;
  std::unique_ptr<JournalFiles> journalFiles_;
  std::optional<RunObservers> observers_;
  std::optional<MachineReport> report_;
  LastOutcome lastOutcome_;
  std::optional<Platform> platform_;
  std::optional<TypedDestinationDialogs> dialogs_;
};

// The program for the command line, or null with `status` set once the
// reason was printed to `streams.errors`.
std::unique_ptr<ProgramAssembly> AssembleProgram(const CommandLineOptions& options,
                                                 const std::vector<std::string_view>& arguments,
                                                 const ProgramStreams& streams, int& status);

}  // namespace tovrin
