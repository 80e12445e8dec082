#include "description/info_record.hpp"

#include <algorithm>
#include <array>

#include "description/number_text.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

constexpr std::size_t kFieldCount = 4;

// The run of bytes up to the next comma (or the end), advancing past the
// comma. A comma is never the second byte of a double-byte character, so
// the split needs no character awareness.
std::string_view TakeField(std::string_view& rest) {
  const std::size_t comma = rest.find(',');
  const std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  return field;
}

// The update run puts the source and the target between double quotes in
// the archive command, and writes below the product folder only: a quote
// would let a field end its quoted name early and name another folder, and
// a target folder that climbs above the product folder leaves it.
bool IsSafeSourceAndTarget(std::string_view source, std::string_view target) {
  if (source.find('"') != std::string_view::npos || target.find('"') != std::string_view::npos) return false;
  return !path_text::ClimbsAboveStart(target);
}

}  // namespace

std::optional<InfoRecord> ParseInfoRecord(std::string_view line) {
  std::array<std::string_view, kFieldCount> fields;
  std::string_view rest = line;
  for (auto& field : fields) {
    field = TakeField(rest);
    if (field.empty()) return std::nullopt;
  }
  if (!IsSafeSourceAndTarget(fields[2], fields[3])) return std::nullopt;
  InfoRecord record;
  record.diskNo = AsciiToInt(fields[0]);
  record.fileKind = AsciiToInt(fields[1]);
  record.srcName = std::string(fields[2]);
  cp932::MakeUpper(record.srcName);
  record.subDir = std::string(fields[3]);
  return record;
}

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), IsAsciiSpace);
}

}  // namespace tovrin
