#pragma once
// atoi as the runtime library reads a number from the start of a text:
// leading white space, a sign, digits up to the first other byte; no digits
// read as 0. Out-of-range values stop at the limits of int instead of
// wrapping.

#include <string_view>

namespace tovrin {

// The white space of the C locale, which atoi skips.
bool IsAsciiSpace(char byte);

int AsciiToInt(std::string_view text);

}  // namespace tovrin
