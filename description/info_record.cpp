#include "description/info_record.hpp"

#include <algorithm>
#include <array>

#include "description/number_text.hpp"
#include "platform/cp932.hpp"

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

}  // namespace

std::optional<InfoRecord> ParseInfoRecord(std::string_view line) {
  std::array<std::string_view, kFieldCount> fields;
  std::string_view rest = line;
  for (auto& field : fields) {
    field = TakeField(rest);
    if (field.empty()) return std::nullopt;
  }
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
