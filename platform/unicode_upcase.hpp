#pragma once
// The simple Unicode upper-case mapping of one UTF-16 code unit, as an NTFS
// volume's upcase table holds it; surrogates and units without a mapping
// stay as they are.

namespace tovrin {

char16_t UpcaseUnit(char16_t unit);

}  // namespace tovrin
