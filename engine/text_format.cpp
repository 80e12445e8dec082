#include "engine/text_format.hpp"

namespace tovrin {

namespace {

// '%' is never the second byte of a CP932 character, so a byte search finds
// only real conversions.
bool IsConversion(std::string_view pattern, std::size_t at) {
  return pattern[at] == '%' && at + 1 < pattern.size() &&
         (pattern[at + 1] == 's' || pattern[at + 1] == 'd');
}

}  // namespace

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
  auto value = values.begin();
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    if (!IsConversion(pattern, at) || value == values.end()) {
      text += pattern[at];
      continue;
    }
    text += *value++;
    ++at;
  }
  return text;
}

std::string& ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return text;
  for (std::size_t found = text.find(pattern); found != std::string::npos;
       found = text.find(pattern, found + replacement.size())) {
    text.replace(found, pattern.size(), replacement);
  }
  return text;
}

}  // namespace tovrin
