#pragma once
// A scratch folder mapped as drive C: for one fuzzing process. Only C: is
// mapped, so no Windows path a target builds can reach the rest of the host.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/posix_file_system.hpp"

namespace tovrin::fuzz {

struct FuzzDrive {
  std::filesystem::path root;
  PosixFileSystem files;
};

// The process's drive; created on first use, emptied by Reset().
FuzzDrive& Drive();
// Empties the drive's folder, so every input starts from the same state.
void Reset();
// Writes bytes to a host file below the drive root, creating its folders.
void WriteHostFile(const std::filesystem::path& relative, std::string_view bytes);
// Aborts when any entry below the root lies outside the allowed folders.
void CheckNothingOutside(const std::vector<std::filesystem::path>& allowed);

}  // namespace tovrin::fuzz
