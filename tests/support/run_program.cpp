#include "tests/support/run_program.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/temp_folder.hpp"

extern char** environ;

namespace tovrin::testing {
namespace {

std::vector<std::string> ChangedEnvironment(
    const std::map<std::string, std::optional<std::string>>& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    if (!changes.contains(variable.substr(0, variable.find('=')))) result.push_back(variable);
  }
  for (const auto& [name, value] : changes) {
    if (value) result.push_back(name + "=" + *value);
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::optional<std::string>>& environment,
                         StandardOutput output) {
  TempFolder capture;
  const auto outPath = capture.path() / "out";
  const auto errPath = capture.path() / "err";
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  auto envp = ChangedEnvironment(environment);
  auto argPointers = Pointers(argv);
  auto envPointers = Pointers(envp);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int pipeEnds[2] = {-1, -1};
    if (output == StandardOutput::ReaderGone) {
      if (pipe(pipeEnds) != 0) _exit(127);
      close(pipeEnds[0]);
      out = pipeEnds[1];
    }
    signal(SIGPIPE, SIG_DFL);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    execve(program.c_str(), argPointers.data(), envPointers.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = capture.Read("out");
  result.err = capture.Read("err");
  return result;
}

}  // namespace tovrin::testing
