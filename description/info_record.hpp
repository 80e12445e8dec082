#pragma once
// One record line of info.txt: four comma-separated fields, each at least
// one byte; the fourth ends at a further comma, and the rest is dropped.
// No white space is removed. Fields are held whole, whatever their length.

#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

struct InfoRecord {
  int diskNo = 0;
  int fileKind = 0;
  std::string srcName;  // upper case
  std::string subDir;
};

// Nullopt when the line does not give four non-empty fields, when the
// source or the target holds a double quote or bytes that are no CP932 text,
// when the source names a drive, begins with a separator or has a ".."
// part, or when the target climbs above the product folder with "..".
std::optional<InfoRecord> ParseInfoRecord(std::string_view line);

// An empty line, or one of white space only, is not a record at all.
bool IsBlankLine(std::string_view line);

}  // namespace tovrin
