#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/drive_diagnostics.hpp"
#include "app/posix/standard_descriptors.hpp"
#include "app/program_entry.hpp"
#include "app/tovrin_app.hpp"

int main(int argc, char* argv[]) {
  using namespace tovrin;
  // Before anything opens a file.
  if (!OpenClosedStandardDescriptors()) return EXIT_FAILURE;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = ParseCommandLine(arguments);
  if (const auto answered = AnswerWithoutServices(parsed)) return *answered;
  const CommandLineOptions& options = *parsed.options;
  if (options.action == CommandLineOptions::Action::ShowDrives) {
    return ShowDrives(options, std::cout, std::cerr);
  }
  if (options.action == CommandLineOptions::Action::ResolvePath) {
    return ResolveWindowsPath(options, std::cout, std::cerr);
  }
  int status = 0;
  const bool errorsOnTerminal = isatty(STDERR_FILENO) == 1;
  const auto program =
      AssembleProgram(options, arguments, {std::cout, std::cerr, errorsOnTerminal}, status);
  if (!program) return status;
  if (options.action == CommandLineOptions::Action::Wizard && !HasDisplay()) {
    std::cerr << "tovrin: no display to show the wizard on; use --unattended\n";
    return kBadCommandLineStatus;
  }
  return RunProgram(options, *program, [&] { return RunWizard(argc, argv, *program); });
}
