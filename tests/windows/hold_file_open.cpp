// Holds a file open without sharing until its standard input ends, as a
// running program holds its own program file: "held" once it holds it.
//   hold_file_open.exe PATH
#include <cstdio>

#include "platform/win32/windows_api.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const HANDLE file =
      CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::puts("held");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  CloseHandle(file);
  return 0;
}
