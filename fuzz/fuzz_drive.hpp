#pragma once
// A scratch folder for one fuzzing process, holding the one drive C: in its
// subfolder "c". Only C: is mapped, so no Windows path a target builds can
// name the rest of the host; anything that appears beside "c" climbed out.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/file_system.hpp"

namespace tovrin::fuzz {

struct FuzzDrive {
  std::filesystem::path scratch;  // holds only the drive's folder
  std::filesystem::path root;     // the host folder of C:
  PosixFileSystem files;
};

// The process's drive; created on first use, emptied by Reset().
FuzzDrive& Drive();
// Empties the drive's folder, so every input starts from the same state.
void Reset();
// Writes bytes to a host file below the drive root, creating its folders.
void WriteHostFile(const std::filesystem::path& relative, std::string_view bytes);
// The bytes of a host file; empty when it cannot be read.
std::string ReadHostFile(const std::filesystem::path& path);
// Aborts when anything lies beside the drive's folder in the scratch folder.
void CheckDriveNotLeft();
// Aborts when the drive was left, or when an entry below the root is
// neither an allowed place (relative to the root), nor below one, nor a
// folder on the way to one.
void CheckNothingOutside(const std::vector<std::filesystem::path>& allowed);
// Aborts when a temporary file of an unfinished replacement was left behind.
void CheckNoTemporaryLeft();

}  // namespace tovrin::fuzz
