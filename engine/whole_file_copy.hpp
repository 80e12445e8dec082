#pragma once
// CopyFileA onto an existing file, made whole or not at all: the copy is
// written beside the destination and renamed over it in one step, so a
// failure part way leaves the old file as it was.

#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

// False, with the destination untouched, when the source cannot be copied
// or the destination is read-only or hidden (as CopyFileA refuses it). A
// destination that already holds the source's bytes is left as it is.
bool CopyFileWhole(FileSystem& files, const std::string& from, const std::string& to);

}  // namespace tovrin
