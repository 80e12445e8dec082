#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/drive_diagnostics.hpp"

int main(int argc, char* argv[]) {
  using namespace tovrin;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = ParseCommandLine(arguments);
  if (!parsed.options) {
    std::cerr << "tovrin: " << parsed.error << "\n" << Usage();
    return kExitUsage;
  }
  switch (parsed.options->action) {
    case CommandLineOptions::Action::ShowDrives:
      return ShowDrives(*parsed.options, std::cout, std::cerr);
    case CommandLineOptions::Action::ResolvePath:
      return ResolveWindowsPath(*parsed.options, std::cout, std::cerr);
    case CommandLineOptions::Action::Wizard:
      break;
  }
  std::cerr << "tovrin: the update run is not available yet; use --drives or --resolve\n" << Usage();
  return kExitUsage;
}
