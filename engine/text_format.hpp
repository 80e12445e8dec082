#pragma once
// sprintf for the run's few formats: each "%s" or "%d" of the pattern takes
// the next value, already as text. No width, no precision, and the values
// are never cut (the program's fixed buffers are strings here).

#include <initializer_list>
#include <string>
#include <string_view>

namespace tovrin {

// Between the names of a list in a box (UTF-8, as the message texts).
inline constexpr std::string_view kNameSeparator = "、";

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

// Replaces every occurrence of `pattern` (not empty), resuming after each
// inserted replacement.
std::string& ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement);

}  // namespace tovrin
