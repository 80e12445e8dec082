#pragma once
// What both programs do with their arguments around the part that is their
// system's own (the wizard, the drive diagnostics): the answers that need no
// services, --undo and the unattended run.

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_assembly.hpp"

namespace tovrin {

// The exit status of a command line answered at once (a bad one, --help,
// --version); nullopt when it asks for more.
std::optional<int> AnswerWithoutServices(const ParsedCommandLine& parsed);

// Runs what the command line asks for: --undo, the unattended run, else
// `wizard`. Returns the status the program ends with, the one its report for
// machines gives.
int RunProgram(const CommandLineOptions& options, ProgramAssembly& program,
               const std::function<int()>& wizard);

}  // namespace tovrin
