#pragma once
// Windows file-name wildcards on CP932 names: `*` any run of characters,
// `?` one character (one or two bytes), letters without regard to case.
// A pattern ending in ".*" also matches a name without an extension.

#include <string_view>

namespace tovrin {

bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace tovrin
