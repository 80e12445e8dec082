#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/drive_diagnostics.hpp"
#include "app/program_entry.hpp"
#include "app/run_observers.hpp"
#include "app/tovrin_app.hpp"

int main(int argc, char* argv[]) {
  using namespace tovrin;
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
  const auto services = SetUpOrReport(options, status);
  if (!services) return status;
  const bool errorsOnTerminal = isatty(STDERR_FILENO) == 1;
  if (const auto ran = RunWithoutWindow(options, arguments, *services, errorsOnTerminal)) {
    return *ran;
  }
  if (!HasDisplay()) {
    std::cerr << "tovrin: no display to show the wizard on; use --unattended\n";
    return kBadCommandLineStatus;
  }
  RunObservers observers(options, arguments, *services->files, nullptr, std::cout, std::cerr,
                         false);
  const int ended =
      RunWizard(argc, argv,
                {*services->files, services->registry, *services->archives, observers.Events(),
                 services->typedDestination});
  observers.Finish(ended);
  return ended;
}
