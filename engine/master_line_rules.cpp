#include "engine/master_line_rules.hpp"

namespace tovrin {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kSizeRecordCode = "400400";
constexpr std::string_view kSizeSubCodeA = "000107";
constexpr std::string_view kSizeSubCodeB = "000111";
constexpr std::size_t kConvertedSizeLength = 185;
constexpr std::size_t kDroppedByteOffset = 66;

constexpr std::size_t kTypeLetterOffset = 13;

// The bytes of a fixed column, shorter or empty when the line is.
std::string_view Column(std::string_view line, std::size_t offset, std::size_t width) {
  if (offset >= line.size()) return {};
  return line.substr(offset, width);
}

bool IsSizeRecord(std::string_view line) {
  if (Column(line, 0, 6) != kSizeRecordCode) return false;
  const std::string_view subCode = Column(line, 6, 6);
  return subCode == kSizeSubCodeA || subCode == kSizeSubCodeB;
}

bool HasOldTypeLetter(std::string_view line) {
  if (line.size() <= kTypeLetterOffset) return false;
  const char letter = line[kTypeLetterOffset];
  return letter == 'A' || letter == 'B';
}

}  // namespace

void AppendSizeConvertedLine(std::string_view line, std::string& out) {
  if (!IsSizeRecord(line) || line.size() == kConvertedSizeLength) {
    out.append(line);
  } else {
    out.append(line.substr(0, kDroppedByteOffset));
    out.append(Column(line, kDroppedByteOffset + 1, std::string_view::npos));
  }
  out.append(kLineEnd);
}

void AppendTypeConvertedLine(std::string_view line, std::string& out) {
  if (!HasOldTypeLetter(line)) {
    out.append(line);
  } else {
    out.append(line.substr(0, kTypeLetterOffset));
    out.push_back('Z');
    out.append(line.substr(kTypeLetterOffset + 1));
  }
  out.append(kLineEnd);
}

}  // namespace tovrin
