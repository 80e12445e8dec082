#pragma once
// The material master conversions. Each master file is rewritten through
// the work file "temp.mst" and renamed over the master in one step.

#include <string>
#include <vector>

#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

inline constexpr int kMaxMasterFiles = 1000;

// Names (without folder) of the files matching the pattern, at most 1000,
// in the order of an NTFS volume; returns their number, or -1 (no names)
// when the folder exists but cannot be listed.
int ListMatchingFiles(const FileSystem& files, std::vector<std::string>& names,
                      const std::string& pattern);

// 1 when both master folders (MASTER of [DIR] + "1\", then + "21\") were
// converted, 0 when a master file could not be converted. `events` hears of
// each master file rewritten.
int ConvertMaterialSize(FileSystem& files, const std::string& settingsPath,
                        RunEvents& events = NoRunEvents());
int ConvertMaterialSizeFolder(FileSystem& files, const std::string& folder,
                              RunEvents& events = NoRunEvents());
int ConvertMaterialType(FileSystem& files, const std::string& settingsPath,
                        RunEvents& events = NoRunEvents());
int ConvertMaterialTypeFolder(FileSystem& files, const std::string& folder,
                              RunEvents& events = NoRunEvents());

}  // namespace tovrin
