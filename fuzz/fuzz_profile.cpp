// The INI profile functions: read, write, read again. A read stays inside
// its buffer, the written value reads back, and the write changes the file
// in exactly one of the three ways it may: one key line replaced, one key
// line added, or one section added at the end. Every other line keeps its
// bytes and its line end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_drive.hpp"
#include "platform/profile.hpp"

namespace {

struct Line {
  std::string text;
  std::string ending;
  bool operator==(const Line&) const = default;
};

// Split on LF; a CR right before the LF belongs to the line end.
std::vector<Line> Lines(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos) {
      lines.push_back({std::string(bytes), ""});
      break;
    }
    const std::size_t end = newline > 0 && bytes[newline - 1] == '\r' ? newline - 1 : newline;
    lines.push_back(
        {std::string(bytes.substr(0, end)), std::string(bytes.substr(end, newline + 1 - end))});
    bytes.remove_prefix(newline + 1);
  }
  return lines;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

bool IsNewKeyLine(const Line& line, std::string_view key, std::string_view value) {
  return line.ending == "\r\n" && line.text == std::string(key) + "=" + std::string(value);
}

// The lines after the write, without the `count` new ones at `first`.
std::vector<Line> Without(std::vector<Line> lines, std::size_t first, std::size_t count) {
  const auto at = lines.begin() + static_cast<std::ptrdiff_t>(first);
  lines.erase(at, at + static_cast<std::ptrdiff_t>(count));
  return lines;
}

// Every original line as it was; only a last line without a line end may
// have gained one, when something was placed after it.
bool SameLines(const std::vector<Line>& before, const std::vector<Line>& kept) {
  if (kept.size() != before.size()) return false;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (kept[i].text != before[i].text) return false;
    const bool gainedEnd =
        i + 1 == before.size() && before[i].ending.empty() && kept[i].ending == "\r\n";
    if (kept[i].ending != before[i].ending && !gainedEnd) return false;
  }
  return true;
}

bool ReplacedOneLine(const std::vector<Line>& before, const std::vector<Line>& after,
                     std::string_view value) {
  if (before.size() != after.size()) return false;
  std::size_t changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    const auto equals = after[i].text.find('=');
    if (++changed > 1 || equals == std::string::npos || after[i].text.substr(equals + 1) != value ||
        after[i].ending != "\r\n")
      return false;
  }
  return changed <= 1;
}

bool AddedOneLine(const std::vector<Line>& before, const std::vector<Line>& after,
                  std::string_view key, std::string_view value) {
  if (after.size() != before.size() + 1) return false;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (IsNewKeyLine(after[i], key, value) && SameLines(before, Without(after, i, 1))) return true;
  }
  return false;
}

bool AddedSection(const std::vector<Line>& before, const std::vector<Line>& after,
                  std::string_view section, std::string_view key, std::string_view value) {
  if (after.size() != before.size() + 2) return false;
  const Line& header = after[before.size()];
  return header.text == "[" + std::string(section) + "]" && header.ending == "\r\n" &&
         IsNewKeyLine(after.back(), key, value) &&
         SameLines(before, Without(after, before.size(), 2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  const std::string original(reinterpret_cast<const char*>(data), size);
  fuzz::WriteHostFile("settings.ini", original);
  auto& files = fuzz::Drive().files;
  const std::string file = "C:\\settings.ini";

  char buffer[100];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD length =
      GetPrivateProfileStringA(files, "SYSTEM", "TITLE", "", buffer, sizeof buffer, file);
  if (length >= sizeof buffer || buffer[length] != '\0')
    Fail("a read left its buffer unterminated");
  length = GetPrivateProfileStringA(files, "DIR", "MASTER", "  ", buffer, 1, file);
  if (length != 0 || buffer[0] != '\0') Fail("a read into one byte gave more than the terminator");

  const std::string section = "SYSTEM";
  const std::string key = "Version";
  const std::string value = "8.1S";
  const BOOL written = WritePrivateProfileStringA(files, section, key, value, file);
  const std::string after = fuzz::ReadHostFile(fuzz::Drive().root / "settings.ini");
  fuzz::CheckNoTemporaryLeft();
  fuzz::CheckNothingOutside({"settings.ini", "windows"});
  if (!written) {
    if (after != original) Fail("a refused write changed the file");
    return 0;
  }
  if (GetProfileText(files, section, key, "", 100, file) != value) {
    Fail("the written value does not read back");
  }
  const auto before = Lines(original);
  const auto lines = Lines(after);
  if (!ReplacedOneLine(before, lines, value) && !AddedOneLine(before, lines, key, value) &&
      !AddedSection(before, lines, section, key, value)) {
    Fail("the write changed more than its own entry");
  }
  return 0;
}
