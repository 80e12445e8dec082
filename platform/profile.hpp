#pragma once
// The INI profile functions with the Windows rules; every section, key,
// value and file name is CP932. Writes replace the file atomically.

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
std::string GetProfileText(FileSystem& files, const std::string& section,
                           const std::string& key, const std::string& defaultValue,
                           DWORD size, const std::string& file);

// Nonzero on success, zero on failure (nothing changed then).
BOOL WritePrivateProfileStringA(FileSystem& files, const std::string& section,
                                const std::string& key, const std::string& value,
                                const std::string& file);

}  // namespace tovrin
