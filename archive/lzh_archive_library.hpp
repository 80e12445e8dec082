#pragma once
// The archive library of this program: LZH archives read with liblhasa and
// written through the platform's file system, every file whole or not at all.

#include <string>

#include "archive/archive_library.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

class LzhArchiveLibrary : public ArchiveLibrary {
 public:
  explicit LzhArchiveLibrary(FileSystem& files) : files_(files) {}

  // Ordinal 6: whether a command may go on in the background after the call
  // returns. Commands here always finish before Command returns, which the
  // update run relies on; the mode is recorded and the previous one returned.
  int SetBackgroundMode(int mode) override;
  // Ordinal 8: whether the library shows a busy cursor of its own while it
  // works. The update run holds the wait cursor for its whole length, so the
  // library never shows one; the mode is recorded and the previous one
  // returned.
  int SetCursorMode(int mode) override;

  // Commands: "e" extracts every file into the base folder without its
  // folders, "x" keeps the folders, "t" checks every member's CRC. Switches:
  // "m" (no questions: there are none), "c" (replace existing files whatever
  // their time stamp; without it a file not older than the member is kept),
  // "w<dir>" (work folder: accepted, unused, since each member is staged
  // beside its target so that it can be renamed into place).
  int Command(WindowHandle owner, const std::string& commandLine, char* output,
              DWORD size) override;
  // An "e" or "x" command with every member decoded once: the check and the
  // extraction are one reading of the archive (which the command names).
  // Asked to, it hashes the archive's bytes as they are decoded.
  std::unique_ptr<StagedExtraction> Stage(WindowHandle owner, const std::string& archive,
                                          const std::string& commandLine, ArchiveDigest digest,
                                          char* output, DWORD size) override;

 private:
  FileSystem& files_;
  int backgroundMode_ = 0;
  int cursorMode_ = 0;
};

}  // namespace tovrin
