#include "platform/unicode_upcase.hpp"

#include "platform/win32/windows_api.hpp"

namespace tovrin {

// The invariant locale's mapping is the one Windows gives NTFS's upcase table.
char16_t UpcaseUnit(char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = in;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

}  // namespace tovrin
