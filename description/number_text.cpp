#include "description/number_text.hpp"

#include <cstddef>
#include <limits>

namespace tovrin {
namespace {

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

bool IsAsciiSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

int AsciiToInt(std::string_view text) {
  std::size_t position = 0;
  while (position < text.size() && IsAsciiSpace(text[position])) ++position;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  // A negative value may reach one past INT_MAX in magnitude (INT_MIN).
  const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                   : std::numeric_limits<int>::max();
  long long magnitude = 0;
  for (; position < text.size() && IsDigit(text[position]); ++position) {
    magnitude = magnitude * 10 + (text[position] - '0');
    if (magnitude > limit) {
      magnitude = limit;
      break;
    }
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace tovrin
