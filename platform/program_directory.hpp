#pragma once
// The update medium folder as the program addresses it: a Windows path
// ending with a backslash, or "A:" alone at the root of a drive.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

// The program directory of a host folder; nullopt when no drive maps it.
std::optional<std::string> ProgramDirectory(const FileSystem& files,
                                            const std::filesystem::path& mediumFolder);

}  // namespace tovrin
