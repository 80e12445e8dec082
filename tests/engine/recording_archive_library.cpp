#include "tests/engine/recording_archive_library.hpp"

#include <cstring>
#include <new>

namespace tovrin::testing {

int RecordingArchiveLibrary::SetBackgroundMode(int mode) {
  calls_.push_back("SetBackgroundMode(" + std::to_string(mode) + ")");
  return real_.SetBackgroundMode(mode);
}

int RecordingArchiveLibrary::SetCursorMode(int mode) {
  calls_.push_back("SetCursorMode(" + std::to_string(mode) + ")");
  return real_.SetCursorMode(mode);
}

int RecordingArchiveLibrary::Command(WindowHandle owner, const std::string& commandLine,
                                     char* output, DWORD size) {
  const std::size_t index = commands_.size();
  calls_.push_back("Command(" + std::to_string(size) + ")");
  commands_.push_back(commandLine);
  owners_.push_back(owner);
  if (throwAt_ == index) throw std::bad_alloc();
  if (failAt_ == index) {
    std::strncpy(output, failure_.c_str(), size);
    output[size - 1] = '\0';
    return 1;
  }
  return real_.Command(owner, commandLine, output, size);
}

std::unique_ptr<StagedExtraction> RecordingArchiveLibrary::Stage(WindowHandle owner,
                                                                 const std::string& archive,
                                                                 const std::string& commandLine,
                                                                 ArchiveDigest digest, char* output,
                                                                 DWORD size) {
  if (!stageThroughLibrary) {
    return ArchiveLibrary::Stage(owner, archive, commandLine, digest, output, size);
  }
  calls_.push_back("Stage(" + std::to_string(size) + ")");
  return real_.Stage(owner, archive, commandLine, digest, output, size);
}

void RecordingArchiveLibrary::FailCommand(std::size_t index, std::string message) {
  failAt_ = index;
  failure_ = std::move(message);
}

}  // namespace tovrin::testing
