#pragma once
// Runs the real program with arguments and collects what it printed and
// its exit status.

#include <string>
#include <vector>

namespace tovrin::testing {

struct ProgramResult {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

ProgramResult RunTovrin(const std::vector<std::string>& arguments);

}  // namespace tovrin::testing
