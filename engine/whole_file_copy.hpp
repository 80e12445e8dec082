#pragma once
// CopyFileA onto an existing file, made whole or not at all: the copy is
// written beside the destination and renamed over it in one step, so a
// failure part way leaves the old file as it was.

#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/sha256.hpp"

namespace tovrin {

enum class CopyResult { Copied, Failed, NotAsListed };

// Failed, with the destination untouched, when the source cannot be copied
// or the destination is read-only or hidden (as CopyFileA refuses it). A
// destination that already holds the source's bytes is left as it is.
// Given the source's `listed` hash, the copy goes in only if it has that
// hash (NotAsListed otherwise), and a destination that has it is kept.
CopyResult CopyFileWhole(FileSystem& files, const std::string& from, const std::string& to,
                         const std::optional<Sha256::Hash>& listed = std::nullopt);

}  // namespace tovrin
