#pragma once
// An extraction carried out as far as its check: every member decoded once,
// its CRC checked, and written to a temporary file beside where it goes.
// Nothing is in place until Apply(); what was not applied is removed.

#include <optional>

#include "platform/sha256.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// Whether the archive's bytes are hashed as they are decoded.
enum class ArchiveDigest { Skip, Take };

class StagedExtraction {
 public:
  virtual ~StagedExtraction() = default;
  // Puts the members into place in archive order. 0 on success; otherwise
  // nonzero with a NUL-terminated CP932 message in `output`.
  virtual int Apply(char* output, DWORD size) = 0;
  // SHA-256 of the archive file's bytes as they were decoded, every one of
  // them; nullopt unless asked for and the library decoded them here.
  virtual std::optional<Sha256::Hash> ArchiveSha256() const { return std::nullopt; }
};

}  // namespace tovrin
