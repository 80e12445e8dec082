#pragma once
// What setting up the program's services takes from the system it runs on:
// the file system, the folder of the program file, the registry when no
// --registry file is given, and which --dest texts name a host folder.

#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line.hpp"
#include "platform/file_system.hpp"
#include "platform/registry.hpp"

namespace tovrin {

// Null with `error` set for options this system cannot take.
std::unique_ptr<FileSystem> MakeFileSystem(const CommandLineOptions& options, std::string& error);
std::filesystem::path ProgramFolder();
Registry LoadSystemRegistry(const CommandLineOptions& options);
// A --dest given as a host path, to be mapped back to a Windows path.
bool IsHostPath(const std::string& path);

}  // namespace tovrin
