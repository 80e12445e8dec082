#pragma once
// The order in which an NTFS volume delivers the names of a folder: names
// compared without regard to case, as UTF-16 code units upper-cased one by
// one (the volume's upcase table). A directory search sorted this way gives
// the same order on every host file system.

#include <string>
#include <vector>

namespace tovrin {

// Sorts CP932 names; names equal but for case keep a fixed order by bytes.
void SortInNtfsOrder(std::vector<std::string>& names);

}  // namespace tovrin
