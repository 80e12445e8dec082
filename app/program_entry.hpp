#pragma once
// What both programs do with their arguments around the part that is their
// system's own (the wizard, the drive diagnostics): the answers that need no
// services, the assembly of the program, --undo and the unattended run.

#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_assembly.hpp"

namespace tovrin {

// The exit status of a command line answered at once (a bad one, --help,
// --version); nullopt when it asks for more.
std::optional<int> AnswerWithoutServices(const ParsedCommandLine& parsed);

// The exit status of --undo or of the unattended run; nullopt for the wizard.
std::optional<int> RunWithoutWindow(const CommandLineOptions& options, ProgramAssembly& program);

}  // namespace tovrin
