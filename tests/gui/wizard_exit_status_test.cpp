// The real program's wizard, driven through real keys on its windows as a
// user goes through it: its exit status tells a script that started it how
// the update ended, the same status its log names.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <thread>

#include "tests/gui/x_input.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TOVRIN_SOURCE_DIR) / "examples";

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// Waits for a window named `name` with the focus, other than `previous`, and
// presses `key` there once it has settled; its id, or "" after 20 seconds.
std::string PressOnNextWindow(const std::string& name, const std::string& key,
                              const std::string& previous) {
  for (int tries = 0; tries < 200; ++tries) {
    const std::string active = Trimmed(CommandOutput("xdotool getactivewindow 2>/dev/null"));
    if (!active.empty() && active != previous &&
        Trimmed(CommandOutput("xdotool getwindowname " + active + " 2>/dev/null")) == name) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      PressKeys(key);
      return active;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "";
}

std::vector<std::string> LogLines(const fs::path& log) {
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Step {
  const char* window;
  const char* key;
};

const char* const kNotes = "マスタ調整機能付";
const char* const kPage = "アップデート";
const char* const kConfirmBox = "確認";
const char* const kErrorBox = "エラー";

struct Outcome {
  const char* name;
  // Changes the product or the medium, or adds options.
  std::function<void(const fs::path& product, const fs::path& medium,
                     std::vector<std::string>& options)>
      prepare;
  std::vector<Step> steps;
  int status;
};

void Nothing(const fs::path&, const fs::path&, std::vector<std::string>&) {}

const Outcome kOutcomes[] = {
    {"cancelled on the notes page", Nothing, {{kNotes, "Escape"}}, 5},
    {"applied",
     Nothing,
     {{kNotes, "Return"}, {kPage, "Return"}, {kPage, "Return"}, {kConfirmBox, "Return"}},
     0},
    {"cancelled at a disk prompt",
     [](const fs::path&, const fs::path& medium, std::vector<std::string>& options) {
       fs::remove(medium / "BMPUPD.lzh");
       options.insert(options.end(), {"--drive", "A=" + medium.string() + ":removable"});
     },
     {{kNotes, "Return"},
      {kPage, "Return"},
      {kPage, "Return"},
      {kConfirmBox, "Escape"},
      {kConfirmBox, "Return"},
      {kConfirmBox, "Return"}},
     3},
    {"stopped by a read-only file",
     [](const fs::path& product, const fs::path&, std::vector<std::string>&) {
       fs::permissions(product / "VELSOR" / "formater.exe", fs::perms::owner_read);
     },
     {{kNotes, "Return"},
      {kPage, "Return"},
      {kPage, "Return"},
      {kConfirmBox, "Return"},
      {kConfirmBox, "Return"}},
     4},
    {"refused for a corrupt archive",
     [](const fs::path&, const fs::path& medium, std::vector<std::string>&) {
       fs::resize_file(medium / "HELP.lzh", fs::file_size(medium / "HELP.lzh") / 2);
     },
     {{kNotes, "Return"}, {kPage, "Return"}, {kPage, "Return"}, {kErrorBox, "Return"}},
     2},
    {"refused for a folder without the product, then left with Esc",
     [](const fs::path& product, const fs::path&, std::vector<std::string>& options) {
       fs::create_directories(product / "EMPTY");
       options.insert(options.end(), {"--dest", "C:\\EMPTY"});
     },
     {{kNotes, "Return"},
      {kPage, "Return"},
      {kPage, "Return"},
      {kErrorBox, "Return"},
      {kPage, "Escape"}},
     2},
};

TEST(WizardExitStatus, IsTheStatusTheLogNamesForEachOutcome) {
  for (const Outcome& outcome : kOutcomes) {
    SCOPED_TRACE(outcome.name);
    TempFolder temp;
    const fs::path product = temp.path() / "c";
    const fs::path medium = temp.path() / "medium";
    fs::copy(kExamples / "product" / "drive_c", product, fs::copy_options::recursive);
    fs::copy(kExamples / "medium", medium, fs::copy_options::recursive);
    // Unsigned, so that a changed file reaches the check it is about.
    fs::remove(medium / "SHA256SUMS");
    fs::remove(medium / "SHA256SUMS.minisig");
    std::vector<std::string> options = {"--medium", medium.string(),
                                        "--drive",  "C=" + product.string(),
                                        "--log",    (temp.path() / "run.log").string()};
    outcome.prepare(product, medium, options);

    auto wizard = std::async(std::launch::async, [&] {
      return RunProgram(TOVRIN_PROGRAM, options,
                        {{"WINEPREFIX", std::nullopt}, {"HOME", temp.path().string()}});
    });
    std::string previous;
    for (const Step& step : outcome.steps) {
      previous = PressOnNextWindow(step.window, step.key, previous);
      ASSERT_NE(previous, "") << "no window " << step.window;
    }
    const ProgramResult result = wizard.get();
    const auto log = LogLines(temp.path() / "run.log");
    ASSERT_FALSE(log.empty());
    const std::string named = "result: exit status " + std::to_string(outcome.status) + ",";
    EXPECT_NE(log.back().find(named), std::string::npos) << log.back();
    EXPECT_EQ(result.exitCode, outcome.status) << result.err;
    // Closed on its first page: one line says so.
    if (outcome.steps.size() == 1) {
      EXPECT_EQ(log.size(), 1u);
    }
  }
}

}  // namespace
}  // namespace tovrin::testing
