// The archive command function on hostile archives and command lines. The
// first input line is the command ("" or "e": the run's own command, "x":
// the same keeping folders, anything else: taken as it is); the rest is the
// archive. Nothing may be written outside the folder the command names, no
// temporary file of a member may outlive the command, and a read-only file
// in the target folder is never replaced.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/lzh_archive_library.hpp"
#include "fuzz/fuzz_drive.hpp"

namespace {

namespace fs = std::filesystem;

std::string OwnCommand(const std::string& letter) {
  return letter + " -mcwC:\\windows \"C:\\medium\\START\" \"C:\\dest\\\"";
}

// A flat extraction leaves every member directly in the target folder.
void CheckFlat() {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(tovrin::fuzz::Drive().root / "dest", ignored)) {
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
      std::fprintf(stderr, "a folder made by a flat extraction: %s\n", entry.path().c_str());
      std::abort();
    }
  }
}

// A read-only file in the target folder, which no extraction may replace,
// as Windows refuses to; and a writable one an extraction may.
// The last member of most seeds, so the members before it are written.
const fs::path kKeptFile = "dest/\u30bd\u30d5\u30c8\u8868.txt";
constexpr std::string_view kKeptContent = "read-only: kept";

void PrepareTarget() {
  tovrin::fuzz::WriteHostFile("dest/text.txt", "older");
  tovrin::fuzz::WriteHostFile(kKeptFile, kKeptContent);
  fs::permissions(tovrin::fuzz::Drive().root / kKeptFile,
                  fs::perms::owner_read | fs::perms::group_read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto newline = input.find('\n');
  std::string command = input.substr(0, newline == std::string::npos ? 0 : newline);
  const std::string archive = newline == std::string::npos ? input : input.substr(newline + 1);
  fuzz::WriteHostFile("medium/START.lzh", archive);
  PrepareTarget();

  const bool flat = command.empty() || command == "e";
  const bool ownCommand = flat || command == "x";
  if (ownCommand) command = OwnCommand(flat ? "e" : "x");

  LzhArchiveLibrary library(fuzz::Drive().files);
  char output[256];
  const int result = library.Command(nullptr, command, output, sizeof output);
  if (result != 0 && std::char_traits<char>::find(output, sizeof output, '\0') == nullptr) {
    std::abort();  // the message is always terminated inside the buffer
  }
  fuzz::CheckNoTemporaryLeft();
  if (fuzz::ReadHostFile(fuzz::Drive().root / kKeptFile) != kKeptContent) {
    std::fprintf(stderr, "a read-only file was replaced\n");
    std::abort();
  }
  // A command of the input may name any folder of C:, the only drive; the
  // run's own commands may write below dest\ only.
  if (!ownCommand) {
    fuzz::CheckDriveNotLeft();
    return 0;
  }
  fuzz::CheckNothingOutside({"medium/START.lzh", "dest", "windows"});
  if (flat) CheckFlat();
  return 0;
}
