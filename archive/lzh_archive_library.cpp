#include "archive/lzh_archive_library.hpp"

#include <utility>

#include "archive/archive_command.hpp"
#include "archive/archive_message.hpp"
#include "archive/command_line.hpp"

namespace tovrin {

int LzhArchiveLibrary::SetBackgroundMode(int mode) { return std::exchange(backgroundMode_, mode); }

int LzhArchiveLibrary::SetCursorMode(int mode) { return std::exchange(cursorMode_, mode); }

int LzhArchiveLibrary::Command(WindowHandle /*owner*/, const std::string& commandLine, char* output,
                               DWORD size) {
  std::string message;
  const auto command = ParseCommandLine(commandLine, message);
  if (command) {
    const auto failure = RunArchiveCommand(files_, *command);
    if (!failure) {
      CopyToOutput("", output, size);
      return 0;
    }
    message = *failure;
  }
  CopyToOutput(message, output, size);
  return 1;
}

std::unique_ptr<StagedExtraction> LzhArchiveLibrary::Stage(WindowHandle /*owner*/,
                                                           const std::string& /*archive*/,
                                                           const std::string& commandLine,
                                                           ArchiveDigest digest, char* output,
                                                           DWORD size) {
  std::string message;
  const auto command = ParseCommandLine(commandLine, message);
  // A test has nothing to put in place.
  std::unique_ptr<StagedExtraction> staged;
  if (command) staged = StageArchiveCommand(files_, *command, digest, message);
  CopyToOutput(staged ? "" : message, output, size);
  return staged;
}

}  // namespace tovrin
