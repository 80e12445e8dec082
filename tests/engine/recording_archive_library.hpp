#pragma once
// Wraps the real archive library: records the set-up calls and every
// command, and can make one command fail (or throw) to stop a run there.

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_library.hpp"

namespace tovrin::testing {

class RecordingArchiveLibrary : public ArchiveLibrary {
 public:
  explicit RecordingArchiveLibrary(ArchiveLibrary& real) : real_(real) {}

  int SetBackgroundMode(int mode) override;
  int SetCursorMode(int mode) override;
  int Command(WindowHandle owner, const std::string& commandLine, char* output,
              DWORD size) override;
  // The real library's staging when `stageThroughLibrary`, else the
  // commands' own (a test, then the extraction).
  std::unique_ptr<StagedExtraction> Stage(WindowHandle owner, const std::string& archive,
                                          const std::string& commandLine, ArchiveDigest digest,
                                          char* output, DWORD size) override;
  bool stageThroughLibrary = false;

  // The command numbered `index` (from 0) fails with `message` (CP932).
  void FailCommand(std::size_t index, std::string message);
  // The command numbered `index` throws std::bad_alloc.
  void ThrowOnCommand(std::size_t index) { throwAt_ = index; }

  // "SetBackgroundMode(0)", "SetCursorMode(1)", "Command(...)" in call order.
  const std::vector<std::string>& Calls() const { return calls_; }
  const std::vector<std::string>& Commands() const { return commands_; }
  const std::vector<WindowHandle>& Owners() const { return owners_; }

 private:
  ArchiveLibrary& real_;
  std::vector<std::string> calls_;
  std::vector<std::string> commands_;
  std::vector<WindowHandle> owners_;
  std::optional<std::size_t> failAt_;
  std::optional<std::size_t> throwAt_;
  std::string failure_;
};

}  // namespace tovrin::testing
