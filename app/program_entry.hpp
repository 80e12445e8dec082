#pragma once
// What both programs do with their arguments around the part that is their
// system's own (the wizard, the drive diagnostics): the answers that need no
// services, the set-up of the services, --undo and the unattended run.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_services.hpp"

namespace tovrin {

// The exit status of a command line answered at once (a bad one, --help,
// --version); nullopt when it asks for more.
std::optional<int> AnswerWithoutServices(const ParsedCommandLine& parsed);

// The services, or null with `status` set once the reason was printed.
std::unique_ptr<ProgramServices> SetUpOrReport(const CommandLineOptions& options, int& status);

// The exit status of --undo or of the unattended run; nullopt for the wizard.
std::optional<int> RunWithoutWindow(const CommandLineOptions& options,
                                    const std::vector<std::string_view>& arguments,
                                    ProgramServices& services, bool errorsOnTerminal);

}  // namespace tovrin
