#pragma once
// The lines of one INI profile file, read and edited with the Windows rules.
// Every line keeps its own bytes and line end, so an edit changes only the
// line it means to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

class ProfileDocument {
 public:
  // Lines end with LF or CR LF; the last one may have no line end.
  static ProfileDocument Parse(std::string_view bytes);

  // The value of the first matching key of the first matching section,
  // without its surrounding blanks (quotes are kept).
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Replaces the value of the first matching key (its spelling kept), or adds
  // the key after the last key line of its section, or adds the section at
  // the end. New and changed lines end with CR LF.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Bytes() const;

 private:
  struct Line {
    std::string text;    // without its line end
    std::string ending;  // "\r\n", "\n", or "" for a last line without one
  };
  using LineIndex = std::size_t;

  std::optional<LineIndex> FindSection(std::string_view section) const;
  // The first key line of the section that starts at `header`, and the last
  // key line of it (the header itself when it has none).
  std::optional<LineIndex> FindKey(LineIndex header, std::string_view key) const;
  LineIndex LastKeyLine(LineIndex header) const;
  void Insert(LineIndex position, std::string text);
  void EndLastLine();

  std::vector<Line> lines_;
};

}  // namespace tovrin
