#pragma once
// What the destination page's two lists are filled from: the drives, in the
// form DlgDirListA gives them, and the subfolders of a search pattern.

#include <string>
#include <vector>

#include "platform/dialog_host.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// DlgDirListA with DDL_DRIVES | DDL_EXCLUSIVE: empties the list box and adds
// "[-c-]" for each mapped drive, lower-case letter, in letter order.
void ListDrives(Dialog& dialog, int listId, const FileSystem& files);

// The drive letter of a drive-list entry: its third character ("[-d-]" gives
// "d"); empty for an entry too short to hold one.
std::string DriveOfEntry(const std::string& driveEntry);

// ".." first, then the name of every folder the pattern finds (hidden and
// system folders too, files never), in the order of the search.
std::vector<std::string> FindSubfolders(const FileSystem& files, const std::string& pattern);

}  // namespace tovrin
