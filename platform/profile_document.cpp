#include "platform/profile_document.hpp"

#include "platform/cp932.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

namespace {

constexpr std::string_view kNewLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "[name]" with anything after the bracket; a 0x5D second byte does not
// close the name.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const int close = cp932::Find(text, "]", 1);
  if (close < 0) return std::nullopt;
  return TrimBlanks(text.substr(1, static_cast<std::size_t>(close) - 1));
}

// Without regard to ASCII letter case; second bytes compared as they are.
bool NamesMatch(std::string_view a, std::string_view b) {
  return path_text::EqualsIgnoreCase(a, b);
}

struct KeyLine {
  std::string_view name;
  std::string_view value;
};

// "name=value"; comments, broken section lines and lines without '=' are
// not keys. '=' is never the second byte of a double-byte character.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  if (text.empty() || text.front() == ';' || text.front() == '[') return std::nullopt;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{TrimBlanks(text.substr(0, equals)), TrimBlanks(text.substr(equals + 1))};
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  ProfileDocument document;
  while (!bytes.empty()) {
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos) {
      document.lines_.push_back({std::string(bytes), ""});
      break;
    }
    const bool crlf = newline > 0 && bytes[newline - 1] == '\r';
    const std::size_t textLength = crlf ? newline - 1 : newline;
    document.lines_.push_back({std::string(bytes.substr(0, textLength)),
                               std::string(bytes.substr(textLength, newline + 1 - textLength))});
    bytes.remove_prefix(newline + 1);
  }
  return document;
}

std::optional<ProfileDocument::LineIndex> ProfileDocument::FindSection(
    std::string_view section) const {
  for (LineIndex i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].text);
    if (name && NamesMatch(*name, section)) return i;
  }
  return std::nullopt;
}

std::optional<ProfileDocument::LineIndex> ProfileDocument::FindKey(LineIndex header,
                                                                   std::string_view key) const {
  for (LineIndex i = header + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i) {
    const auto entry = ParseKeyLine(lines_[i].text);
    if (entry && NamesMatch(entry->name, key)) return i;
  }
  return std::nullopt;
}

ProfileDocument::LineIndex ProfileDocument::LastKeyLine(LineIndex header) const {
  LineIndex last = header;
  for (LineIndex i = header + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i) {
    if (ParseKeyLine(lines_[i].text)) last = i;
  }
  return last;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const auto line = FindKey(*header, key);
  if (!line) return std::nullopt;
  return std::string(ParseKeyLine(lines_[*line].text)->value);
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const auto header = FindSection(section);
  if (!header) {
    EndLastLine();
    lines_.push_back({"[" + std::string(section) + "]", std::string(kNewLineEnd)});
    lines_.push_back({std::string(key) + "=" + std::string(value), std::string(kNewLineEnd)});
    return;
  }
  if (const auto line = FindKey(*header, key)) {
    const std::string spelling(ParseKeyLine(lines_[*line].text)->name);
    lines_[*line] = {spelling + "=" + std::string(value), std::string(kNewLineEnd)};
    return;
  }
  Insert(LastKeyLine(*header) + 1, std::string(key) + "=" + std::string(value));
}

void ProfileDocument::Insert(LineIndex position, std::string text) {
  // Only the last line can lack a line end; a line placed after it needs one.
  if (position == lines_.size()) EndLastLine();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                {std::move(text), std::string(kNewLineEnd)});
}

void ProfileDocument::EndLastLine() {
  if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = kNewLineEnd;
}

std::string ProfileDocument::Bytes() const {
  std::string bytes;
  for (const auto& line : lines_) {
    bytes += line.text;
    bytes += line.ending;
  }
  return bytes;
}

}  // namespace tovrin
