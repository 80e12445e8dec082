#pragma once
// The programs running from a product folder: a product in use cannot be
// updated safely (Windows refuses to replace its open files, and a running
// program keeps the old ones mapped). Each system's side answers it
// (posix/programs_in_use.cpp, win32/programs_in_use.cpp).

#include <filesystem>
#include <string>
#include <vector>

namespace tovrin {

struct ProgramInUse {
  std::string name;  // CP932, as the system names the program
  unsigned long processId = 0;
};

// As boxes, the log and the report name it: "VIEWER.EXE (1234)".
inline std::string NameWithProcessId(const ProgramInUse& program) {
  return program.name + " (" + std::to_string(program.processId) + ")";
}

// Every other process whose program, working folder or open files lie in
// `productFolder` (a host path). A process the system will not let us look
// into is not counted: no answer is taken for "in use".
std::vector<ProgramInUse> ProgramsUsingFolder(const std::filesystem::path& productFolder);

}  // namespace tovrin
