#include "platform/reg_source.hpp"

#include "platform/utf16.hpp"

namespace tovrin::reg {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// Literal bytes (ASCII or UTF-8) and escaped UTF-16 code units, joined into
// one UTF-8 text; consecutive code units are converted together so that a
// surrogate pair stays one character.
class Utf8Builder {
 public:
  void Byte(char c) {
    Flush();
    text_.push_back(c);
  }
  void Unit(char16_t unit) {
    if (unit < 0x80) return Byte(static_cast<char>(unit));
    units_.push_back(unit);
  }
  std::optional<std::string> Finish() {
    Flush();
    if (!valid_) return std::nullopt;
    return std::move(text_);
  }

 private:
  void Flush() {
    if (units_.empty()) return;
    const auto converted = utf16::UnitsToUtf8(units_);
    units_.clear();
    if (converted)
      text_ += *converted;
    else
      valid_ = false;
  }

  std::string text_;
  std::u16string units_;
  bool valid_ = true;
};

char16_t ReadHexUnit(std::string_view text, std::size_t& position) {
  unsigned unit = 0;
  for (int digits = 0; digits < 4 && position < text.size() && HexDigit(text[position]) >= 0;
       ++digits) {
    unit = unit * 16 + static_cast<unsigned>(HexDigit(text[position++]));
  }
  return static_cast<char16_t>(unit);
}

char16_t ReadOctalUnit(std::string_view text, std::size_t& position) {
  unsigned unit = 0;
  for (int digits = 0; digits < 3 && position < text.size() && IsOctalDigit(text[position]);
       ++digits) {
    unit = unit * 8 + static_cast<unsigned>(text[position++] - '0');
  }
  return static_cast<char16_t>(unit);
}

std::optional<char16_t> ControlCharacter(char letter) {
  switch (letter) {
    case 'a':
      return u'\a';
    case 'b':
      return u'\b';
    case 'e':
      return char16_t{0x1B};
    case 'f':
      return u'\f';
    case 'n':
      return u'\n';
    case 'r':
      return u'\r';
    case 't':
      return u'\t';
    case 'v':
      return u'\v';
    default:
      return std::nullopt;
  }
}

void ReadEscape(std::string_view text, std::size_t& position, Utf8Builder& out) {
  const char letter = text[position];
  if (letter == 'x' && position + 1 < text.size() && HexDigit(text[position + 1]) >= 0) {
    ++position;
    return out.Unit(ReadHexUnit(text, position));
  }
  if (IsOctalDigit(letter)) return out.Unit(ReadOctalUnit(text, position));
  ++position;
  if (const auto control = ControlCharacter(letter)) return out.Unit(*control);
  out.Byte(letter);  // \\ \" \[ \] and any other character stand for themselves
}

class BodyReader {
 public:
  BodyReader(const std::vector<std::string_view>& lines, const Dialect& dialect,
             RegistryStore& store)
      : lines_(lines),
        dialect_(dialect),
        store_(store) {}

  std::optional<SourceError> Read() {
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      std::string reason;
      if (!ReadLine(TrimBlanks(lines_[index_]), reason)) return SourceError{index_ + 1, reason};
    }
    return std::nullopt;
  }

 private:
  bool ReadLine(std::string_view text, std::string& reason) {
    if (text.empty() || text.front() == ';') return true;
    if (text.front() == '#' && dialect_.optionLines) return true;
    if (text.front() == '[') return ReadKeyLine(text, reason);
    if (text.front() == '"' || text.front() == '@') return ReadValueLine(text, reason);
    reason = "neither a key nor a value";
    return false;
  }

  bool ReadKeyLine(std::string_view text, std::string& reason) {
    auto key = dialect_.readKeyLine(text, reason);
    if (!key) return false;
    inKey_ = true;
    key_.reset();
    if (!key->path) return true;
    if (key->remove) {
      store_.RemoveKey(*key->path);
      return true;
    }
    store_.AddKey(*key->path);
    key_ = std::move(key->path);
    return true;
  }

  bool ReadValueLine(std::string_view text, std::string& reason) {
    if (!inKey_) {
      reason = "a value before the first key";
      return false;
    }
    std::size_t position = 1;
    std::optional<std::string> name = std::string();
    if (text.front() == '"') name = ReadEscaped(text, position, '"');
    if (!name) {
      reason = "a value name without its closing quote";
      return false;
    }
    const std::string_view assignment = TrimBlanks(text.substr(position));
    if (assignment.empty() || assignment.front() != '=') {
      reason = "no '=' after the value name";
      return false;
    }
    return ReadData(*name, TrimBlanks(assignment.substr(1)), reason);
  }

  bool ReadData(const std::string& name, std::string_view data, std::string& reason) {
    if (data == "-") {
      if (key_) store_.RemoveValue(*key_, name);
      return true;
    }
    if (data.empty() || data.front() != '"') {
      SkipContinuedData(data);  // dword:, hex:, hex(n):, str(n): are read past
      return true;
    }
    std::size_t position = 1;
    auto text = ReadEscaped(data, position, '"');
    if (!text || position != data.size()) {
      reason = "a string value that does not end with its closing quote";
      return false;
    }
    if (key_) store_.SetValue(*key_, name, std::move(*text));
    return true;
  }

  void SkipContinuedData(std::string_view data) {
    while (!data.empty() && data.back() == '\\' && index_ + 1 < lines_.size()) {
      data = TrimBlanks(lines_[++index_]);
    }
  }

  const std::vector<std::string_view>& lines_;
  const Dialect& dialect_;
  RegistryStore& store_;
  std::size_t index_ = 0;
  bool inKey_ = false;
  std::optional<std::string> key_;  // nullopt: values are read past
};

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return lines;
}

std::optional<std::string> ReadEscaped(std::string_view text, std::size_t& position,
                                       char terminator) {
  Utf8Builder out;
  while (position < text.size()) {
    const char c = text[position++];
    if (c == terminator) return out.Finish();
    if (c != '\\') {
      out.Byte(c);
      continue;
    }
    if (position == text.size()) return std::nullopt;
    ReadEscape(text, position, out);
  }
  return std::nullopt;
}

std::optional<SourceError> ReadBody(const std::vector<std::string_view>& lines,
                                    const Dialect& dialect, RegistryStore& store) {
  return BodyReader(lines, dialect, store).Read();
}

}  // namespace tovrin::reg
