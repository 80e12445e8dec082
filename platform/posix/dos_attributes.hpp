#pragma once
// The DOS attribute byte of a host file: read-only from the write bits, the
// directory bit from the file type, and hidden, system and archive from the
// "user.DOSATTRIB" extended attribute, as Wine keeps them.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

namespace tovrin::dos_attributes {

inline constexpr std::uint8_t kStoredBits = 0x02 | 0x04 | 0x20;  // hidden, system, archive

// No write bit for anyone: read-only, whoever the caller is.
bool IsReadOnly(const struct stat& status);

std::uint8_t Read(const std::filesystem::path& host, const struct stat& status);

// Sets the read-only state through the write bits and stores the other bits.
// A file system without extended attributes keeps only the read-only state.
bool Write(const std::filesystem::path& host, std::uint8_t attribute);

// The hidden, system and archive bits stored for a file (0 when none).
std::uint8_t ReadStored(const std::filesystem::path& host);
bool WriteStored(const std::filesystem::path& host, std::uint8_t bits);

}  // namespace tovrin::dos_attributes
