#include "app/program_assembly.hpp"

#include <filesystem>

#include "app/dry_run_journal_files.hpp"
#include "app/unattended_run.hpp"
#include "app/undo_command.hpp"
#include "platform/utf8_path.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

ProgramAssembly::ProgramAssembly(const CommandLineOptions& options,
                                 const std::vector<std::string_view>& arguments,
                                 std::unique_ptr<ProgramServices> services,
                                 const ProgramStreams& streams)
    : options_(options),
      arguments_(arguments),
      streams_(streams),
      services_(std::move(services)),
      files_(services_->files.get()),
      archives_(services_->archives.get()) {
  if (options.dryRun) {
    files_ = &dryRunFiles_.emplace(dryRun_.emplace(*services_->hostFiles));
    archives_ = &dryRunArchives_.emplace(*files_);
    journalFiles_ = std::make_unique<DryRunJournalFiles>();
  } else {
    journalFiles_ = MakeJournalFiles();
  }
  if (options.report) {
    const bool undo = options.action == CommandLineOptions::Action::Undo;
    const auto mode = undo             ? MachineReport::Mode::Undo
                      : options.dryRun ? MachineReport::Mode::DryRun
                      : options.action == CommandLineOptions::Action::Unattended
                          ? MachineReport::Mode::Run
                          : MachineReport::Mode::Wizard;
    // --undo reads the product as it is; a run through its own file system.
    FileSystem& reportFiles = undo ? *services_->hostFiles : *files_;
    report_.emplace(*options.report, mode, reportFiles, services_->mediumFolder,
                    services_->typedDestination, streams.errors);
  }
}

Platform& ProgramAssembly::PlatformFor(UserInterface& ui) {
  return platform_.emplace(Platform{*files_, services_->registry, ui, services_->mediumFolder});
}

DialogHost& ProgramAssembly::DialogsOver(DialogHost& host) {
  return dialogs_.emplace(host, services_->typedDestination);
}

void ProgramAssembly::WireRuns(CTovrinView& view, UpdateRunHost* runHost) {
  view.ObserveRunsThrough(*files_);
  view.KeepJournalsWith(*journalFiles_);
  view.TrustKeys(services_->trustedKeys);
  // The log is opened by the first view wired, so a front end that ends
  // before it shows any page leaves none.
  if (!observers_) {
    // The progress line is the unattended run's; the wizard shows its own.
    const bool progressLine =
        streams_.errorsOnTerminal && options_.action == CommandLineOptions::Action::Unattended;
    observers_.emplace(RunObserverSetting{.options = options_,
                                          .arguments = arguments_,
                                          .mediumFolder = services_->mediumFolder,
                                          .files = *files_,
                                          .dryRun = dryRun_ ? &*dryRun_ : nullptr,
                                          .out = streams_.out,
                                          .errors = streams_.errors,
                                          .progressLine = progressLine});
  }
  view.AddRunListener(observers_->Events());
  if (report_) view.AddRunListener(*report_);
  view.AddRunListener(lastOutcome_);
  if (runHost != nullptr) view.SetRunHost(*runHost);
}

int ProgramAssembly::ExitStatus() const { return ExitStatusOf(lastOutcome_.Outcome()); }

int ProgramAssembly::Undo(std::ostream& out, std::ostream& errors) {
  if (!services_->typedDestination) {
    errors << "tovrin: --undo needs --dest PATH\n" << Usage();
    return kBadCommandLineStatus;
  }
  return UndoLastUpdate(*services_->hostFiles, *journalFiles_, *services_->typedDestination, out,
                        errors, report_ ? static_cast<RunEvents&>(*report_) : NoRunEvents());
}

int ProgramAssembly::Ended(int status) {
  if (report_) report_->Write(status);
  return status;
}

std::unique_ptr<ProgramAssembly> AssembleProgram(const CommandLineOptions& options,
                                                 const std::vector<std::string_view>& arguments,
                                                 const ProgramStreams& streams, int& status) {
  auto setUp = SetUpServices(options);
  if (!setUp.services) {
    streams.errors << "tovrin: " << VisibleText(setUp.error) << "\n";
    if (setUp.status == kBadCommandLineStatus) streams.errors << Usage();
    status = setUp.status;
    return nullptr;
  }
  auto program =
      std::make_unique<ProgramAssembly>(options, arguments, std::move(setUp.services), streams);
  // A dry run's writes go to a temporary folder: without one it could only guess.
  if (!program->Ready()) {
    std::error_code ignored;
    streams.errors
        << "tovrin: the dry run needs a temporary folder of its own and cannot make one in "
        << Utf8Of(std::filesystem::temp_directory_path(ignored)) << "\n";
    status = kExitFailed;
    return nullptr;
  }
  return program;
}

}  // namespace tovrin
