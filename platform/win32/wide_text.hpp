#pragma once
// The program's CP932 text and UTF-8 as the wide (UTF-16) text of the Win32
// API. Strict both ways: a sequence or character without a counterpart gives
// nullopt, never a replacement character.

#include <optional>
#include <string>
#include <string_view>

namespace tovrin::win32 {

std::optional<std::wstring> WideFromCp932(std::string_view cp932);
std::optional<std::string> Cp932FromWide(std::wstring_view wide);
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);
std::optional<std::string> Utf8FromWide(std::wstring_view wide);

}  // namespace tovrin::win32
