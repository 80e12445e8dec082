#pragma once
// Finding a file under a folder text typed in any of its forms (repairing
// the caller's folder text in place), creating a target folder, and the
// in-place text replacement of the title.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"

namespace tovrin {

int LocateFileInFolder(const FileSystem& files, std::string& folder, const std::string& name);
int LocateFile(const FileSystem& files, std::string& folder, const std::string& name);
// The folder with a backslash at its end, ready for a name to be appended
// (a trailing 0x5C that is a second byte is no separator).
std::string FolderWithSeparator(const std::string& folder);

// Whether `path` lies below `folder` (letter case ignored as Windows ignores it).
bool IsInsideFolder(const std::string& path, const std::string& folder);

// Whether the host path `path` lies in `folder` or below it, by their text.
bool IsBelowHostFolder(const std::filesystem::path& path, const std::filesystem::path& folder);

void CreateFolderIfMissing(FileSystem& files, const std::string& path);
// Replaces every occurrence of `pattern` (not empty), resuming after each
// inserted replacement.
std::string& ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

}  // namespace tovrin
