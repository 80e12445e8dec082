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
// the archive command, and writes below the product folder only. A quote in
// a field would end its quoted name early, and so would a lead byte without
// its second byte, which takes the closing quote for its own; either lets
// the rest of the command name another folder. A target folder that climbs
// above the product folder with ".." leaves it.
bool IsQuotableName(std::string_view field) {
  return field.find('"') == std::string_view::npos && cp932::ToUtf8(field).has_value();
}

// A source is read from the medium's folder: a drive, a leading separator
// or any ".." part would fetch a file from elsewhere into the product.
bool StaysOnTheMedium(std::string_view source) {
  if (source.find(':') != std::string_view::npos || path_text::IsSeparator(source.front()))
    return false;
  const auto parts = path_text::Components(source);
  return std::find(parts.begin(), parts.end(), "..") == parts.end();
}

bool IsSafeSourceAndTarget(std::string_view source, std::string_view target) {
  return IsQuotableName(source) && IsQuotableName(target) && StaysOnTheMedium(source) &&
         !path_text::ClimbsAboveStart(target);
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
