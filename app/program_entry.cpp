#include "app/program_entry.hpp"

#include <cstdlib>
#include <iostream>

#include "app/lost_output.hpp"
#include "app/unattended_run.hpp"
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

namespace {

int RunChosen(const CommandLineOptions& options, ProgramAssembly& program,
              const std::function<int()>& wizard) {
  switch (options.action) {
    case CommandLineOptions::Action::Undo:
      return program.Undo(std::cout, std::cerr);
    case CommandLineOptions::Action::Unattended: {
      KeepRunningWhenOutputIsLost();
      const int status = RunUnattended(program, std::cout);
      ReportLostOutput(std::cout, std::cerr);
      return status;
    }
    default:
      return wizard();
  }
}

}  // namespace

int RunProgram(const CommandLineOptions& options, ProgramAssembly& program,
               const std::function<int()>& wizard) {
  return program.Ended(RunChosen(options, program, wizard));
}

}  // namespace tovrin
