#pragma once
// `tovrin --drives` and `tovrin --resolve WINPATH`: what the program sees of
// the Windows world, in the spirit of winepath.

#include <iosfwd>

#include "app/command_line.hpp"

namespace tovrin {

// Each returns the exit status: 0 done, 1 a path that resolves to nothing,
// kBadCommandLineStatus for malformed drive options. Results go to `out`,
// errors to `err`, in UTF-8.
int ShowDrives(const CommandLineOptions& options, std::ostream& out, std::ostream& err);
int ResolveWindowsPath(const CommandLineOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tovrin
