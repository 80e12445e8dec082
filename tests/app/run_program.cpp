#include "tests/app/run_program.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

ProgramResult RunTovrin(const std::vector<std::string>& arguments) {
  TempFolder streams;
  const std::string outPath = (streams.path() / "out").string();
  const std::string errPath = (streams.path() / "err").string();
  std::vector<char*> argv;
  std::string program = TOVRIN_PROGRAM;
  argv.push_back(program.data());
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    execv(argv[0], argv.data());
    _exit(127);
  }
  ProgramResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = streams.Read("out");
  result.err = streams.Read("err");
  return result;
}

}  // namespace tovrin::testing
