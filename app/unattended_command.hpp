#pragma once
// The unattended run as the command line asks for it: on the product or,
// with --dry-run, on a file system that keeps its writes; with the log and,
// on a terminal, the progress line.

#include <ostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_services.hpp"

namespace tovrin {

int RunUnattendedCommand(const CommandLineOptions& options,
                         const std::vector<std::string_view>& arguments,
                         ProgramServices& services, std::ostream& out, std::ostream& errors,
                         bool errorsOnTerminal);

}  // namespace tovrin
