// regedit's .reg files: "REGEDIT4" in CP932, "Windows Registry Editor
// Version 5.00" in UTF-16 LE with its byte-order mark. Lines are turned into
// UTF-8 first, so that a 0x5C second byte of CP932 is never taken for a
// backslash.
#include "platform/cp932.hpp"
#include "platform/reg_source.hpp"
#include "platform/utf16.hpp"

namespace tovrin::reg {

namespace {

constexpr std::string_view kAnsiHeader = "REGEDIT4";
constexpr std::string_view kUnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE";

// "[HKEY_LOCAL_MACHINE\SOFTWARE\...]" or "[-...]"; names are not escaped.
std::optional<KeyLine> ReadRegeditKeyLine(std::string_view line, std::string& reason) {
  if (line.size() < 2 || line.back() != ']') {
    reason = "a key name without its closing bracket";
    return std::nullopt;
  }
  std::string_view name = line.substr(1, line.size() - 2);
  KeyLine key;
  key.remove = !name.empty() && name.front() == '-';
  if (key.remove) name.remove_prefix(1);
  const std::size_t separator = name.find('\\');
  if (RegistryStore::CanonicalPath(name.substr(0, separator)) == kMachineRoot) {
    key.path = separator == std::string_view::npos ? std::string()
                                                   : std::string(name.substr(separator + 1));
  }
  return key;
}

struct Utf8Lines {
  std::vector<std::string> lines;
  std::optional<SourceError> error;
};

Utf8Lines AnsiLines(std::string_view bytes) {
  Utf8Lines result;
  for (const auto line : SplitLines(bytes)) {
    auto utf8 = cp932::ToUtf8(line);
    if (!utf8) {
      result.error = SourceError{result.lines.size() + 1, "bytes that are not code page 932"};
      return result;
    }
    result.lines.push_back(std::move(*utf8));
  }
  return result;
}

// Split on the code unit LF before converting, so that a bad unit is
// reported on its own line.
Utf8Lines Utf16Lines(std::string_view bytes) {
  Utf8Lines result;
  const auto add = [&result](std::string_view line) {
    auto utf8 = utf16::LittleEndianToUtf8(line);
    if (!utf8) {
      result.error = SourceError{result.lines.size() + 1, "text that is not UTF-16"};
      return false;
    }
    if (!utf8->empty() && utf8->back() == '\r') utf8->pop_back();
    result.lines.push_back(std::move(*utf8));
    return true;
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] != '\n' || bytes[i + 1] != '\0') continue;
    if (!add(bytes.substr(start, i - start))) return result;
    start = i + 2;
  }
  if (start < bytes.size()) add(bytes.substr(start));
  return result;
}

}  // namespace

std::optional<SourceError> ReadRegFile(std::string_view bytes, RegistryStore& store) {
  const bool unicode = bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark;
  const Utf8Lines decoded =
      unicode ? Utf16Lines(bytes.substr(kUtf16LeMark.size())) : AnsiLines(bytes);
  if (decoded.error) return decoded.error;
  const std::string_view header = unicode ? kUnicodeHeader : kAnsiHeader;
  if (decoded.lines.empty() || decoded.lines.front() != header) {
    return SourceError{1, "not a \"" + std::string(header) + "\" file"};
  }
  const std::vector<std::string_view> lines(decoded.lines.begin(), decoded.lines.end());
  return ReadBody(lines, Dialect{ReadRegeditKeyLine, false}, store);
}

}  // namespace tovrin::reg
