#include "platform/wildcard.hpp"

#include <string>
#include <vector>

#include "platform/cp932.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

std::vector<std::string> Characters(std::string_view text) {
  std::string upper(text);
  cp932::MakeUpper(upper);
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < upper.size();) {
    const std::size_t width = path_text::CharacterWidth(upper, i);
    characters.push_back(upper.substr(i, width));
    i += width;
  }
  return characters;
}

// The usual single-backtrack match: on a mismatch, let the last `*` take one
// character more.
bool Matches(const std::vector<std::string>& name, const std::vector<std::string>& pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t starPattern = std::string::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == "*") {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == "?" || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (starPattern != std::string::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == "*") ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  const auto nameCharacters = Characters(name);
  if (Matches(nameCharacters, Characters(pattern))) return true;
  if (!pattern.ends_with(".*") || name.find('.') != std::string_view::npos) return false;
  return Matches(nameCharacters, Characters(pattern.substr(0, pattern.size() - 2)));
}

}  // namespace tovrin
