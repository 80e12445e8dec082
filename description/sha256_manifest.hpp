#pragma once
// A disk's SHA256SUMS: the lines GNU sha256sum writes, one a file of the
// disk, named relative to the disk's root in CP932 as it stands there.
// Read from the medium, so every size is bounded and every name confined.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

inline constexpr std::size_t kManifestMaxBytes = 1024 * 1024;
inline constexpr std::size_t kManifestMaxLine = 4096;
// MAX_PATH: no longer name opens on the systems the media serve.
inline constexpr std::size_t kManifestMaxName = 260;

using Sha256Hash = std::array<std::uint8_t, 32>;

struct ManifestEntry {
  std::string name;  // as listed, '\' between folders
  Sha256Hash hash{};
};

struct Sha256Manifest {
  // By ManifestKey of the name.
  std::map<std::string, ManifestEntry> entries;
};

struct ManifestParse {
  std::optional<Sha256Manifest> manifest;
  // Where it is not one: the line (from 1; 0 for the whole file) and why, in English.
  std::size_t line = 0;
  std::string error;
};

ManifestParse ParseSha256Manifest(std::string_view text);

// The key a name is listed and looked up under: '/' as '\', "." folders
// left out, ASCII letters in upper case (the disks' names ignore case);
// nullopt for a name that leaves the disk's root or names none.
std::optional<std::string> ManifestKey(std::string_view name);

}  // namespace tovrin
