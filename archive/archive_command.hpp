#pragma once
// Carrying out one parsed command of the archive library.

#include <memory>
#include <optional>
#include <string>

#include "archive/command_line.hpp"
#include "archive/staged_extraction.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Extracts or tests the members in archive order and stops at the first
// failure; members already extracted stay. Nothing is written outside the
// base folder. Returns the CP932 failure message, or nullopt on success.
std::optional<std::string> RunArchiveCommand(FileSystem& files, const ArchiveCommand& command);

// Carries out an extraction command up to its check: each member decoded
// once into a temporary file on the target's side (the nearest folder that
// exists), nothing made or replaced. Null with `message` set at the first
// failure, its temporaries removed.
std::unique_ptr<StagedExtraction> StageArchiveCommand(FileSystem& files,
                                                      const ArchiveCommand& command,
                                                      ArchiveDigest digest, std::string& message);

}  // namespace tovrin
