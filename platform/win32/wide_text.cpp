#include "platform/win32/wide_text.hpp"

#include <climits>

#include "platform/win32/windows_api.hpp"

namespace tovrin::win32 {
namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int needed =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                          needed) != needed) {
    return std::nullopt;
  }
  return wide;
}

// Code page 932 would put a look-alike or '?' for a character it lacks: the
// default-character flag says so, and such a text has no CP932 form.
std::optional<std::string> FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  if (wide.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(wide.size());
  const bool utf8 = codePage == CP_UTF8;
  const ::DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* defaultedFlag = utf8 ? nullptr : &defaulted;
  const int needed =
      WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, defaultedFlag);
  if (needed <= 0 || defaulted) return std::nullopt;
  std::string text(static_cast<std::size_t>(needed), '\0');
  if (WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), needed, nullptr,
                          defaultedFlag) != needed ||
      defaulted) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::optional<std::wstring> WideFromCp932(std::string_view cp932) { return ToWide(kCp932, cp932); }
std::optional<std::string> Cp932FromWide(std::wstring_view wide) { return FromWide(kCp932, wide); }
std::optional<std::wstring> WideFromUtf8(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::optional<std::string> Utf8FromWide(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

}  // namespace tovrin::win32
