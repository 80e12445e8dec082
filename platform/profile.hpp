#pragma once
// The INI profile functions with the Windows rules; every section, key,
// value and file name is CP932. A bare file name lives in the Windows
// directory. Writes replace the file atomically and keep every line they do
// not change byte for byte.

#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// Copies at most size - 1 bytes (never half a double-byte character) and a
// NUL into `buffer`; returns the number of bytes copied.
DWORD GetPrivateProfileStringA(FileSystem& files, const std::string& section,
                               const std::string& key, const std::string& defaultValue,
                               char* buffer, DWORD size, const std::string& file);

// The same read, returning the text (bounded like a buffer of `size` bytes).
std::string GetProfileText(FileSystem& files, const std::string& section, const std::string& key,
                           const std::string& defaultValue, DWORD size, const std::string& file);

// The same read, but nullopt when the file exists (or cannot be told not to)
// and cannot be read: a step that needs the value then fails rather than
// take the default.
std::optional<std::string> ReadProfileText(FileSystem& files, const std::string& section,
                                           const std::string& key, const std::string& defaultValue,
                                           DWORD size, const std::string& file);

// The whole value as a read would give it, unbounded; nullopt when the file
// or the entry is absent.
std::optional<std::string> GetProfileEntry(FileSystem& files, const std::string& section,
                                           const std::string& key, const std::string& file);

// Nonzero on success, zero on failure (nothing changed then). Fails for a
// missing folder, a read-only or unreadable file, a file that begins with a
// UTF-8 or UTF-16 byte-order mark, and an entry that would not read back as
// written (a line break anywhere, '=' in the key, ']' in the section, a key
// that begins with ';' or '[' or is empty).
BOOL WritePrivateProfileStringA(FileSystem& files, const std::string& section,
                                const std::string& key, const std::string& value,
                                const std::string& file);

}  // namespace tovrin
