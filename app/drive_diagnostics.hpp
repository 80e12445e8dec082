#pragma once
// `tovrin --drives` and `tovrin --resolve WINPATH`: what the program sees of
// the Windows world, in the spirit of winepath.

#include <iosfwd>

#include "app/command_line.hpp"

namespace tovrin {

// Each returns the exit status; results go to `out`, errors to `err`, UTF-8.
int ShowDrives(const CommandLineOptions& options, std::ostream& out, std::ostream& err);
int ResolveWindowsPath(const CommandLineOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tovrin
