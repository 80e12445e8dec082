#pragma once
// Runs a program to its end and collects what it wrote and its exit status.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tovrin::testing {

struct ProgramResult {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

enum class StandardOutput {
  Captured,
  ReaderGone,  // a pipe whose reader has ended, as in "program | head -1"
};

// `environment` changes the inherited environment: a value sets a variable,
// nullopt removes it. The program starts with the default SIGPIPE action,
// as a shell starts it.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::optional<std::string>>& environment = {},
                         StandardOutput output = StandardOutput::Captured);

}  // namespace tovrin::testing
