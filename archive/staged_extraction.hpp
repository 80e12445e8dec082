#pragma once
// An extraction carried out as far as its check: every member decoded once,
// its CRC checked, and written to a temporary file beside where it goes.
// Nothing is in place until Apply(); what was not applied is removed.

#include "platform/windows_types.hpp"

namespace tovrin {

class StagedExtraction {
 public:
  virtual ~StagedExtraction() = default;
  // Puts the members into place in archive order. 0 on success; otherwise
  // nonzero with a NUL-terminated CP932 message in `output`.
  virtual int Apply(char* output, DWORD size) = 0;
};

}  // namespace tovrin
