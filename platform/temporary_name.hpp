#pragma once
// The names of the program's own temporary files: new for every file, and
// recognisable afterwards, so a run removes what a killed run left behind.

#include <string>
#include <string_view>

namespace tovrin::temporary_name {

// ".tovrin-" followed by 12 random hexadecimal digits and ".tmp"; ASCII, so
// the same bytes in CP932 and on the host.
std::string Make();

// Whether `name` (a file name without folder) is one Make() gives.
bool IsTemporary(std::string_view name);

}  // namespace tovrin::temporary_name
