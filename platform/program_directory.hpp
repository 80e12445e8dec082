#pragma once
// g_strAppDir: the update medium folder as a Windows path. It ends with a
// backslash, except at the root of a drive, where it is "A:" alone. Every
// file of the medium is addressed as g_strAppDir followed by its name.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

extern std::string g_strAppDir;

// The program directory of a host folder; nullopt when no drive maps it.
std::optional<std::string> ProgramDirectory(const FileSystem& files,
                                            const std::filesystem::path& mediumFolder);

}  // namespace tovrin
