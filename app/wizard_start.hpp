#pragma once
// The wizard on the display: the program's world set up from the command
// line, then the window system's loop.

#include "app/command_line.hpp"

namespace tovrin {

// True when a window system is there to show the wizard on.
bool HasDisplay();

// Sets up the drives, the registry of the Wine prefix in use, the archive
// library and the program directory (the program file's own folder), then
// runs the wizard. The program's exit status.
int StartWizard(const CommandLineOptions& options, int argc, char** argv);

}  // namespace tovrin
