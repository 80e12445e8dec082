#include "app/program_entry.hpp"

#include <cstdlib>
#include <iostream>

#include "app/lost_output.hpp"
#include "app/machine_report.hpp"
#include "app/unattended_command.hpp"
#include "app/undo_command.hpp"
#include "platform/journal_files.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

std::optional<int> AnswerWithoutServices(const ParsedCommandLine& parsed) {
  if (!parsed.options) {
    std::cerr << "tovrin: " << VisibleText(parsed.error) << "\n" << Usage();
    return kBadCommandLineStatus;
  }
  switch (parsed.options->action) {
    case CommandLineOptions::Action::Help:
      std::cout << Usage();
      return EXIT_SUCCESS;
    case CommandLineOptions::Action::Version:
      std::cout << "tovrin " << TOVRIN_VERSION << "\n";
      return EXIT_SUCCESS;
    default:
      return std::nullopt;
  }
}

std::unique_ptr<ProgramServices> SetUpOrReport(const CommandLineOptions& options, int& status) {
  auto setUp = SetUpServices(options);
  if (!setUp.services) {
    std::cerr << "tovrin: " << VisibleText(setUp.error) << "\n";
    if (setUp.status == kBadCommandLineStatus) std::cerr << Usage();
    status = setUp.status;
  }
  return std::move(setUp.services);
}

std::optional<int> RunWithoutWindow(const CommandLineOptions& options,
                                    const std::vector<std::string_view>& arguments,
                                    ProgramServices& services, bool errorsOnTerminal) {
  if (options.action == CommandLineOptions::Action::Undo) {
    if (!services.typedDestination) {
      std::cerr << "tovrin: --undo needs --dest PATH\n" << Usage();
      return kBadCommandLineStatus;
    }
    std::optional<MachineReport> report;
    if (options.report) {
      report.emplace(*options.report, MachineReport::Mode::Undo, *services.hostFiles,
                     services.typedDestination, std::cerr);
    }
    const int status = UndoLastUpdate(*services.hostFiles, *MakeJournalFiles(),
                                      *services.typedDestination, std::cout, std::cerr,
                                      report ? *report : NoRunEvents());
    if (report) report->Write(status);
    return status;
  }
  if (options.action != CommandLineOptions::Action::Unattended) return std::nullopt;
  KeepRunningWhenOutputIsLost();
  const int status = RunUnattendedCommand(options, arguments, services, std::cout, std::cerr,
                                          errorsOnTerminal);
  ReportLostOutput(std::cout, std::cerr);
  return status;
}

}  // namespace tovrin
