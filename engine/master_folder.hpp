#pragma once
// The folder walk shared by the two material master conversions, with the
// line rule as its parameter.

#include <optional>
#include <string>
#include <vector>

#include "engine/master_line_rules.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Rewrites every "zai???-3.mst" of the folder (ending with a backslash) in
// the order of ListMatchingFiles; stops at the first master that cannot be
// rewritten. 1 when all were, else 0.
int ConvertMasterFolder(FileSystem& files, const std::string& folder, MasterLineRule rule,
                        RunEvents& events);

// The masters of a folder, for ListMatchingFiles after the folder's path.
// Split so that "??-" is not read as a trigraph.
inline constexpr std::string_view kMasterPattern =
    "zai???"
    "-3.mst";

// MASTER of [DIR] in the settings file; nullopt when the file exists but
// cannot be read (the empty default would skip every master).
std::optional<std::string> MasterFolderPrefix(FileSystem& files, const std::string& settingsPath);
// The folders a conversion writes into, in the order it converts them.
std::vector<std::string> MasterFolders(const std::string& prefix);

// The folders MASTER of [DIR] + "1\", then, only when that gave 1, + "21\".
int ConvertMasterFolders(FileSystem& files, const std::string& settingsPath, MasterLineRule rule,
                         RunEvents& events);

}  // namespace tovrin
