#pragma once
// The library's messages: our own texts with CP932 names put in, and the
// copy into the caller's fixed output buffer.

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/windows_types.hpp"

namespace tovrin {

// `format` is one of our UTF-8 texts; each "%s" in turn takes the next CP932
// argument. The result is CP932.
std::string ArchiveMessage(std::string_view format, std::initializer_list<std::string_view> args);

// Copies `message` into `output` as a NUL-terminated text of at most
// size - 1 bytes, never ending in half a double-byte character; a NUL in
// the message shows as "\x00" rather than cutting it short.
void CopyToOutput(std::string_view message, char* output, DWORD size);

}  // namespace tovrin
