#pragma once
// The file system the program runs on, set up from its drive options: the
// drive table, and as the Windows directory C:\windows of the Wine prefix in
// use (without one, the host's temporary folder).

#include <memory>
#include <string>

#include "platform/drive_table.hpp"
#include "platform/posix/file_system.hpp"

namespace tovrin {

// Null with `error` set for malformed options.
std::unique_ptr<PosixFileSystem> MakeHostFileSystem(const DriveOptions& options,
                                                    std::string& error);

}  // namespace tovrin
