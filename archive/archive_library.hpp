#pragma once
// The LZH archive library that takes the place of UNLHA32.dll: two set-up
// calls and the command function "e -mcw<dir> \"<archive>\" \"<folder>\"".

#include <memory>
#include <string>

#include "archive/staged_extraction.hpp"
#include "platform/file_system.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

class ArchiveLibrary {
 public:
  virtual ~ArchiveLibrary() = default;
  // The two set-up calls the update run makes once, with 0 then with 1,
  // before the first extraction. Their meaning is documented by the
  // implementation; the run does not examine their results.
  virtual int SetBackgroundMode(int mode) = 0;
  virtual int SetCursorMode(int mode) = 0;
  // Runs one command. 0 on success; otherwise nonzero with a NUL-terminated
  // CP932 message in `output`, cut to `size` on a character boundary.
  virtual int Command(WindowHandle owner, const std::string& commandLine, char* output,
                      DWORD size) = 0;
  // Carries out the extraction `commandLine` of `archive` up to its check;
  // null, with the message in `output`, when the archive does not pass. A
  // library that knows only commands tests the archive now and extracts it
  // when applied, decoding it twice, and has no hash of what it decoded.
  virtual std::unique_ptr<StagedExtraction> Stage(WindowHandle owner, const std::string& archive,
                                                  const std::string& commandLine,
                                                  ArchiveDigest digest, char* output, DWORD size);
};

}  // namespace tovrin
