// A product that programs run from is left alone: the run exits 6 ("not
// now") naming each program and its process id, and touches nothing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TOVRIN_SOURCE_DIR) / "examples";

// The product but the run's bookkeeping (the lock a refused run took).
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::end(entry); ++entry) {
    if (entry->path().filename() == ".tovrin") {
      entry.disable_recursion_pending();
      continue;
    }
    const auto time = fs::last_write_time(entry->path()).time_since_epoch().count();
    tree[entry->path().string()] =
        std::to_string(time) + (entry->is_regular_file() ? ReadFile(entry->path()) : "/");
  }
  return tree;
}

// A process started for the test, ended with it.
class Sleeper {
 public:
  // `program` sleeps a minute, with standard input from `input`.
  Sleeper(const fs::path& program, const fs::path& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    std::string name = program.string();
    char seconds[] = "60";
    char* argv[] = {name.data(), seconds, nullptr};
    char* environment[] = {nullptr};
    posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environment);
    posix_spawn_file_actions_destroy(&actions);
    // Until the program has replaced the test's image, /proc shows the test.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::error_code error;
    while (fs::read_symlink("/proc/" + std::to_string(pid_) + "/exe", error) != program &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~Sleeper() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  Sleeper(const Sleeper&) = delete;
  Sleeper& operator=(const Sleeper&) = delete;

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

TEST(ProductInUse, ARunningProgramMakesTheRunExit6NamingItAndTouchingNothing) {
  const struct {
    const char* what;
    const char* program;  // in the product, else /bin/sleep
    const char* name;
  } cases[] = {
      {"a copy of sleep started from the product", "VIEWER.EXE", "VIEWER.EXE"},
      {"a program holding a product file open", nullptr, "sleep"},
  };
  for (const auto& use : cases) {
    SCOPED_TRACE(use.what);
    TempFolder temp;
    const fs::path drive = temp.path() / "c";
    fs::copy(kExamples / "product" / "drive_c", drive, fs::copy_options::recursive);
    fs::path program = "/bin/sleep";
    if (use.program) {
      program = drive / "VELSOR" / use.program;
      fs::copy_file("/bin/sleep", program);
    }
    const Sleeper sleeper(fs::canonical(program), drive / "VELSOR" / "velsor1.ini");
    const auto before = Tree(drive);
    const fs::path report = temp.path() / "report.json";
    const std::string named = std::string(use.name) + " (" + std::to_string(sleeper.pid()) + ")";
    for (const char* mode : {"--dry-run", "--unattended"}) {
      const ProgramResult result = RunProgram(
          TOVRIN_PROGRAM,
          {mode, "--medium", (kExamples / "medium").string(), "--drive", "C=" + drive.string(),
           "--registry", (kExamples / "product" / "uninstall.reg").string(), "--log", "-",
           "--report", report.string()},
          {{"WINEPREFIX", std::nullopt}, {"HOME", "/nonexistent"}});
      EXPECT_EQ(result.exitCode, 6) << mode << result.out << result.err;
      EXPECT_NE(result.out.find("確認: 更新先ﾌｫﾙﾀﾞのﾌﾟﾛｸﾞﾗﾑが実行中です: " + named),
                std::string::npos)
          << result.out;
      const auto json = nlohmann::json::parse(ReadFile(report));
      EXPECT_EQ(json.at("outcome"), "busy");
      EXPECT_EQ(json.at("refusal").at("check"), "programs in use");
      EXPECT_EQ(json.at("refusal").at("findings").at(0), named + " runs from C:\\VELSOR\\");
      EXPECT_EQ(Tree(drive), before) << mode;
    }
  }
}

}  // namespace
}  // namespace tovrin::testing
