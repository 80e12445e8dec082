#pragma once
// The record rules of the two material master conversions, on the bytes of
// one line as text mode reads it (without its line end). Each rule appends
// the converted line and the CR LF that text-mode writing makes of "\n".

#include <string>
#include <string_view>

namespace tovrin {

using MasterLineRule = void (*)(std::string_view line, std::string& out);

// Code "400400" with sub-code "000107" or "000111": byte 67 is dropped,
// unless the record is exactly 185 bytes long (already converted).
void AppendSizeConvertedLine(std::string_view line, std::string& out);

// Type letter (byte 14) "A" or "B" becomes "Z"; nothing else changes.
void AppendTypeConvertedLine(std::string_view line, std::string& out);

}  // namespace tovrin
