#pragma once
// Carrying out one parsed command of the archive library.

#include <optional>
#include <string>

#include "archive/command_line.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Extracts or tests the members in archive order and stops at the first
// failure; members already extracted stay. Nothing is written outside the
// base folder. Returns the CP932 failure message, or nullopt on success.
std::optional<std::string> RunArchiveCommand(FileSystem& files, const ArchiveCommand& command);

}  // namespace tovrin
