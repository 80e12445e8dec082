#pragma once
// The wizard on Windows: the maximized main window that shows the medium's
// picture under line 1 of info.txt as its title, its accelerator table, and
// the message loop that dispatches the program's posted messages between
// the window's own.

#include "app/program_assembly.hpp"

namespace tovrin {

// Runs the wizard of `program` until its main window closes; returns the
// exit status.
int RunWizard(ProgramAssembly& program);

}  // namespace tovrin
