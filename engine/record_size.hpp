#pragma once
// How many bytes a record will write into the product, told ahead so that
// progress can be shown over the bytes of all records.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

// The members of the archive, or the single file, at `mediumFile`; nullopt
// when that file is not on the medium now (its disk is not in the drive).
std::optional<std::uint64_t> RecordBytes(FileSystem& files, const std::string& mediumFile,
                                         bool isArchive);

}  // namespace tovrin
