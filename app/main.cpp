#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/drive_diagnostics.hpp"
#include "app/lost_output.hpp"
#include "app/program_services.hpp"
#include "app/run_observers.hpp"
#include "app/tovrin_app.hpp"
#include "app/unattended_command.hpp"
#include "app/unattended_run.hpp"
#include "app/undo_command.hpp"
#include "platform/journal_files.hpp"
#include "platform/visible_text.hpp"

namespace {

// The wizard's services, or the exit status of their failure.
std::unique_ptr<tovrin::ProgramServices> SetUp(const tovrin::CommandLineOptions& options,
                                               int& status) {
  auto setUp = tovrin::SetUpServices(options);
  if (!setUp.services) {
    std::cerr << "tovrin: " << tovrin::VisibleText(setUp.error) << "\n";
    if (setUp.status == tovrin::kBadCommandLineStatus) std::cerr << tovrin::Usage();
    status = setUp.status;
  }
  return std::move(setUp.services);
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace tovrin;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = ParseCommandLine(arguments);
  if (!parsed.options) {
    std::cerr << "tovrin: " << VisibleText(parsed.error) << "\n" << Usage();
    return kBadCommandLineStatus;
  }
  const CommandLineOptions& options = *parsed.options;
  switch (options.action) {
    case CommandLineOptions::Action::Help:
      std::cout << Usage();
      return EXIT_SUCCESS;
    case CommandLineOptions::Action::Version:
      std::cout << "tovrin " << TOVRIN_VERSION << "\n";
      return EXIT_SUCCESS;
    case CommandLineOptions::Action::ShowDrives:
      return ShowDrives(options, std::cout, std::cerr);
    case CommandLineOptions::Action::ResolvePath:
      return ResolveWindowsPath(options, std::cout, std::cerr);
    case CommandLineOptions::Action::Unattended:
    case CommandLineOptions::Action::Undo:
    case CommandLineOptions::Action::Wizard:
      break;
  }
  int status = 0;
  const auto services = SetUp(options, status);
  if (!services) return status;
  if (options.action == CommandLineOptions::Action::Undo) {
    if (!services->typedDestination) {
      std::cerr << "tovrin: --undo needs --dest PATH\n" << Usage();
      return kBadCommandLineStatus;
    }
    return UndoLastUpdate(*services->hostFiles, *MakeJournalFiles(), *services->typedDestination,
                          std::cout, std::cerr);
  }
  if (options.action == CommandLineOptions::Action::Unattended) {
    KeepRunningWhenOutputIsLost();
    const int runStatus = RunUnattendedCommand(options, arguments, *services, std::cout,
                                               std::cerr, isatty(STDERR_FILENO) == 1);
    ReportLostOutput(std::cout, std::cerr);
    return runStatus;
  }
  if (!HasDisplay()) {
    std::cerr << "tovrin: no display to show the wizard on; use --unattended\n";
    return kBadCommandLineStatus;
  }
  RunObservers observers(options, arguments, *services->files, nullptr, std::cout, std::cerr,
                         false);
  return RunWizard(argc, argv,
                   {*services->files, services->registry, *services->archives, observers.Events(),
                    services->typedDestination});
}
