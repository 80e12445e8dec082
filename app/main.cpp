#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/drive_diagnostics.hpp"
#include "app/program_services.hpp"
#include "app/tovrin_app.hpp"
#include "app/unattended_run.hpp"

namespace {

// The wizard's services, or the exit status of their failure.
std::unique_ptr<tovrin::ProgramServices> SetUp(const tovrin::CommandLineOptions& options,
                                               int& status) {
  auto setUp = tovrin::SetUpServices(options);
  if (!setUp.services) {
    std::cerr << "tovrin: " << setUp.error << "\n";
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
    std::cerr << "tovrin: " << parsed.error << "\n" << Usage();
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
    case CommandLineOptions::Action::Wizard:
      break;
  }
  int status = 0;
  const auto services = SetUp(options, status);
  if (!services) return status;
  if (options.action == CommandLineOptions::Action::Unattended) {
    return RunUnattended(*services->files, services->registry, *services->archives,
                         services->typedDestination, std::cout);
  }
  if (!HasDisplay()) {
    std::cerr << "tovrin: no display to show the wizard on; use --unattended\n";
    return kBadCommandLineStatus;
  }
  return RunWizard(argc, argv,
                   {*services->files, services->registry, *services->archives,
                    services->typedDestination});
}
