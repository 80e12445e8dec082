#pragma once
// The command line of the archive library, read the way the LZH tools of
// its era read it: `e -mcw<dir> "<archive>" "<folder>"`.

#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

enum class ArchiveCommandKind {
  ExtractFlat,         // e: every file into the base folder, folder parts dropped
  ExtractWithFolders,  // x: member folders kept below the base folder
  Test,                // t: every member's CRC checked, nothing written
};

struct ArchiveCommand {
  ArchiveCommandKind kind = ArchiveCommandKind::ExtractFlat;
  bool noQuestions = false;    // -m
  bool alwaysReplace = false;  // -c: no time-stamp check, an existing file is replaced
  std::string workFolder;      // -w<dir>; members are staged beside their targets instead
  std::string archive;         // CP932 Windows path, ".lzh" added when it had no extension
  std::string baseFolder;      // CP932 Windows path ending with '\' or ':'
};

// Reads one command line (CP932). On failure returns nullopt and sets
// `message` to the CP932 text for the user.
std::optional<ArchiveCommand> ParseCommandLine(std::string_view line, std::string& message);

}  // namespace tovrin
