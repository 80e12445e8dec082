#pragma once
// UTF-16 LE and BE to UTF-8, for the profile and registry files that
// Windows writes in UTF-16. Each system's side converts with its own means
// (posix/utf16.cpp, win32/utf16.cpp).

#include <optional>
#include <string>
#include <string_view>

namespace tovrin::utf16 {

// Nullopt for an odd length or a lone surrogate; nothing is replaced.
std::optional<std::string> LittleEndianToUtf8(std::string_view bytes);
std::optional<std::string> BigEndianToUtf8(std::string_view bytes);
// One UTF-16 code-unit sequence (host order) as UTF-8.
std::optional<std::string> UnitsToUtf8(std::u16string_view units);

}  // namespace tovrin::utf16
