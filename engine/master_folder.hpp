#pragma once
// The folder walk shared by the two material master conversions, with the
// line rule as its parameter.

#include <string>

#include "engine/master_line_rules.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Rewrites every "zai???-3.mst" of the folder (ending with a backslash) in
// the order of ListMatchingFiles; stops at the first master that cannot be
// rewritten. 1 when all were, else 0.
int ConvertMasterFolder(FileSystem& files, const std::string& folder, MasterLineRule rule,
                        RunEvents& events);

// The folders MASTER of [DIR] + "1\", then, only when that gave 1, + "21\".
int ConvertMasterFolders(FileSystem& files, const std::string& settingsPath, MasterLineRule rule,
                         RunEvents& events);

}  // namespace tovrin
