#include "platform/unicode_upcase.hpp"

#include <locale.h>
#include <wctype.h>

namespace tovrin {

char16_t UpcaseUnit(char16_t unit) {
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
  if (unicode == nullptr) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
  }
  const wint_t upper = towupper_l(unit, unicode);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

}  // namespace tovrin
