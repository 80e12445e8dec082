#pragma once
// Reading registry sources into a RegistryStore: a Wine prefix's system.reg
// and regedit .reg files. Both share the value lines ("name"="text", @=...,
// other types read past, hex data continued with a final '\').

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_store.hpp"

namespace tovrin::reg {

struct SourceError {
  std::size_t line = 0;  // counted from 1
  std::string reason;
};

// "WINE REGISTRY Version 2": keys relative to the machine root, escapes.
std::optional<SourceError> ReadWineRegistry(std::string_view bytes, RegistryStore& store);
// "REGEDIT4" in CP932, "Windows Registry Editor Version 5.00" in UTF-16 LE
// with its byte-order mark; only HKEY_LOCAL_MACHINE is kept.
std::optional<SourceError> ReadRegFile(std::string_view bytes, RegistryStore& store);

// The parts the two formats share.

// Lines without their line ends (LF or CR LF).
std::vector<std::string_view> SplitLines(std::string_view text);

// Decodes from `position` up to an unescaped `terminator` (\\ \" \n \r \t,
// \x and up to four hex digits of a UTF-16 code unit, \ and up to three octal
// digits) into UTF-8; `position` then follows the terminator. Nullopt when
// the terminator is missing or a code unit has no UTF-8 form.
std::optional<std::string> ReadEscaped(std::string_view text, std::size_t& position,
                                       char terminator);

// One key line: the key's path under the machine root, or nullopt for a key
// of another root (its values are read past); `remove` for "[-...]".
struct KeyLine {
  std::optional<std::string> path;
  bool remove = false;
};
using KeyLineReader =
    std::function<std::optional<KeyLine>(std::string_view line, std::string& reason)>;

struct Dialect {
  KeyLineReader readKeyLine;
  bool optionLines = false;  // '#' lines of Wine's format
};

// Reads the lines after the header line (line 1) into the store.
std::optional<SourceError> ReadBody(const std::vector<std::string_view>& lines,
                                    const Dialect& dialect, RegistryStore& store);

}  // namespace tovrin::reg
