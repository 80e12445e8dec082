// The archive command function on hostile archives and command lines. The
// first input line is the command (empty: the run's own command); the rest
// is the archive. Nothing may be written outside the base folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/lzh_archive_library.hpp"
#include "fuzz/fuzz_drive.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto newline = input.find('\n');
  std::string command = input.substr(0, newline == std::string::npos ? 0 : newline);
  const std::string archive = newline == std::string::npos ? input : input.substr(newline + 1);
  fuzz::WriteHostFile("medium/START.lzh", archive);
  std::filesystem::create_directories(fuzz::Drive().root / "dest");

  // An empty first line is the run's own command; "x" the same keeping folders.
  const bool ownCommand = command.empty() || command == "x";
  if (ownCommand) {
    command = (command.empty() ? "e" : "x") +
              std::string(" -mcwC:\\windows \"C:\\medium\\START\" \"C:\\dest\\\"");
  }
  LzhArchiveLibrary library(fuzz::Drive().files);
  char output[256];
  const int result = library.Command(nullptr, command, output, sizeof output);
  if (result != 0 && std::char_traits<char>::find(output, sizeof output, '\0') == nullptr) {
    std::abort();  // the message is always terminated inside the buffer
  }
  // A fuzzed command may name any folder of C:, the only drive; the run's
  // own commands may write below dest/ only.
  if (ownCommand) fuzz::CheckNothingOutside({"medium", "dest", "windows"});
  return 0;
}
