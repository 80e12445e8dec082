// What a run tells about itself: the log, the dry run's list and the
// progress line, each checked against what the real program then does to a
// copy of the sample product.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "platform/cp932.hpp"
#include "platform/product_lock.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TOVRIN_SOURCE_DIR) / "examples";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every file (its content) and folder ("/") below `root`, by lower-case
// relative path.
using Tree = std::map<std::string, std::string>;

Tree Snapshot(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = Lower(fs::relative(entry.path(), root).string());
    tree[relative] = entry.is_directory() ? "/" : ReadFile(entry.path());
  }
  return tree;
}

// The host file of each lower-case relative path.
std::map<std::string, fs::path> HostFiles(const fs::path& root) {
  std::map<std::string, fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    files[Lower(fs::relative(entry.path(), root).string())] = entry.path();
  }
  return files;
}

// What a run changed in the product: the run's own bookkeeping folder is no
// part of it.
std::set<std::string> Changed(const Tree& before, const Tree& after) {
  std::set<std::string> changed;
  for (const auto& [path, content] : after) {
    if (path.find(".tovrin") != std::string::npos) continue;
    const auto old = before.find(path);
    if (old == before.end() || old->second != content) changed.insert(path);
  }
  for (const auto& [path, content] : before) {
    if (!after.contains(path)) changed.insert(path);
  }
  return changed;
}

// "C:\VELSOR\\help\HELP.TXT" as Snapshot names it: "velsor/help/help.txt".
std::string RelativeOf(const std::string& windowsPath) {
  std::string relative;
  for (char c : windowsPath.substr(3)) {
    if (c == '\\') c = '/';
    if (c == '/' && (relative.empty() || relative.back() == '/')) continue;
    relative += c;
  }
  if (!relative.empty() && relative.back() == '/') relative.pop_back();
  return Lower(relative);
}

std::string Sha256(const fs::path& file) {
  return RunProgram("/usr/bin/sha256sum", {file.string()}).out.substr(0, 64);
}

class RunReportTest : public ::testing::Test {
 protected:
  RunReportTest() {
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    fs::copy(kExamples / "medium", medium(), fs::copy_options::recursive);
  }

  fs::path drive() const { return temp.path() / "c"; }
  fs::path medium() const { return temp.path() / "medium"; }
  fs::path logs() const { return temp.path() / "state" / "tovrin" / "logs"; }

  std::vector<std::string> Arguments(const std::vector<std::string>& extra) const {
    std::vector<std::string> arguments = {
        "--medium",   medium().string(),
        "--drive",    "C=" + drive().string(),
        "--registry", (kExamples / "product" / "uninstall.reg").string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  ProgramResult Run(const std::vector<std::string>& extra, const std::string& stateHome = "") {
    return RunProgram(
        TOVRIN_PROGRAM, Arguments(extra),
        {{"WINEPREFIX", std::nullopt},
         {"HOME", "/nonexistent"},
         {"DISPLAY", std::nullopt},
         {"WAYLAND_DISPLAY", std::nullopt},
         {"XDG_STATE_HOME", stateHome.empty() ? (temp.path() / "state").string() : stateHome}});
  }

  TempFolder temp;
};

TEST_F(RunReportTest, TheLogOfTheSampleUpdateHoldsEveryChangeAndNothingElse) {
  const Tree before = Snapshot(drive());
  const fs::path log = temp.path() / "run.log";
  const ProgramResult result = Run({"--unattended", "--log", log.string()});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  const std::set<std::string> changed = Changed(before, Snapshot(drive()));

  // 2026-12-07T16:05:30.123+0900 file C:\VELSOR\help\HELP.TXT: old new, new 11444 bytes sha256 …
  const std::regex fileLine(R"(\S+ file (.+): old (new|(\d+) bytes sha256 [0-9a-f]{64}), )"
                            R"(new (\d+) bytes sha256 ([0-9a-f]{64}))");
  const std::regex folderLine(R"(\S+ folder (.+) created)");
  // A file changed in several steps has a line for each: the first starts
  // from the file before the run, the last ends with the file after it.
  const auto hostFiles = HostFiles(drive());
  std::set<std::string> logged;
  std::map<std::string, std::string> lastNew;  // path -> "size sha256"
  std::smatch match;
  for (const auto& line : Lines(ReadFile(log))) {
    if (std::regex_match(line, match, folderLine)) logged.insert(RelativeOf(match[1]));
    if (!std::regex_match(line, match, fileLine)) continue;
    const std::string path = RelativeOf(match[1]);
    if (logged.insert(path).second) {
      EXPECT_EQ(match[2] == "new", !before.contains(path)) << line;
      if (match[3].matched) {
        EXPECT_EQ(std::stoul(match[3]), before.at(path).size()) << line;
      }
    }
    lastNew[path] = match[4].str() + " " + match[5].str();
  }
  for (const auto& [path, described] : lastNew) {
    const fs::path host = hostFiles.at(path);
    EXPECT_EQ(described, std::to_string(fs::file_size(host)) + " " + Sha256(host)) << path;
  }
  EXPECT_EQ(logged, changed);

  const std::string text = ReadFile(log);
  for (const char* expected :
       {" record 5 of 5: TEIGI.DAT into C:\\VELSOR\\data\\\n",
        " setting C:\\VELSOR\\velsor1.ini [SYSTEM] GENGOU: \"平成\" -> \"令和\"\n",
        " setting C:\\VELSOR\\dov3.ini [HISTORY] 抽出開始日ON: \"0\" -> \"1\"\n",
        " master C:\\VELSOR\\MST1\\zai001-3.mst converted: 2 records rewritten\n",
        " box 確認: システムは正常に更新されました。 -> OK\n",
        " result: exit status 0, applied; the product was changed\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  }
}

// Both media: from a fixed drive, and from a removable one where the second
// disk is asked for and checked.
TEST_F(RunReportTest, TheDryRunListsWhatTheRealRunThenChanges) {
  for (const bool removable : {false, true}) {
    SCOPED_TRACE(removable ? "removable medium" : "fixed medium");
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    const std::vector<std::string> mediumDrive =
        removable ? std::vector<std::string>{"--drive", "A=" + medium().string() + ":removable"}
                  : std::vector<std::string>{};
    std::vector<std::string> dryArguments = mediumDrive;
    dryArguments.push_back("--dry-run");
    const Tree before = Snapshot(drive());
    const ProgramResult dry = Run(dryArguments);
    ASSERT_EQ(dry.exitCode, 0) << dry.out << dry.err;
    EXPECT_EQ(Snapshot(drive()), before) << "the dry run touched the product";

    std::vector<std::string> realArguments = mediumDrive;
    realArguments.push_back("--unattended");
    const ProgramResult real = Run(realArguments);
    ASSERT_EQ(real.exitCode, 0) << real.out << real.err;
    const Tree after = Snapshot(drive());
    const std::set<std::string> changed = Changed(before, after);

    // The boxes come first, as the real run shows them.
    const std::string list = dry.out.substr(real.out.size());
    EXPECT_EQ(dry.out.substr(0, real.out.size()), real.out);
    const std::regex fileLine(R"(  (add|replace) (.+) \((\d+) bytes\))");
    const std::regex folderLine(R"(  add folder (.+))");
    const std::regex settingLine(R"(  setting (.+?) \[.*)");
    const std::regex convertLine(R"(  convert (.+): (\d+) master files, \d+ records rewritten)");
    std::set<std::string> listed;
    std::smatch match;
    for (const auto& line : Lines(list)) {
      if (std::regex_match(line, match, folderLine)) {
        listed.insert(RelativeOf(match[1]));
      } else if (std::regex_match(line, match, fileLine)) {
        const std::string path = RelativeOf(match[2]);
        listed.insert(path);
        EXPECT_EQ(match[1] == "replace", before.contains(path)) << line;
        EXPECT_EQ(std::stoul(match[3]), after.count(path) ? after.at(path).size() : 0) << line;
      } else if (std::regex_match(line, match, settingLine)) {
        listed.insert(RelativeOf(match[1]));
      } else if (std::regex_match(line, match, convertLine)) {
        const std::string folder = RelativeOf(match[1]) + "/";
        const auto inFolder = std::count_if(changed.begin(), changed.end(), [&](const auto& path) {
          return path.starts_with(folder) && path.find('/', folder.size()) == std::string::npos;
        });
        EXPECT_EQ(std::stol(match[2]), inFolder) << line;
        for (const auto& path : changed) {
          if (path.starts_with(folder)) listed.insert(path);
        }
      }
    }
    EXPECT_EQ(listed, changed) << list;
  }
}

// The dry run keeps what it would write in a folder of its own below
// TMPDIR, gone when it ends; without such a folder it refuses to guess.
TEST_F(RunReportTest, TheDryRunKeepsItsWritesInATemporaryFolderItRemoves) {
  const fs::path tmp = temp.path() / "tmp";
  fs::create_directories(tmp);
  const Tree before = Snapshot(drive());
  for (const fs::path& tmpdir : {tmp, temp.path() / "no-such-folder"}) {
    SCOPED_TRACE(tmpdir.string());
    std::vector<std::string> arguments = Arguments({"--dry-run"});
    const ProgramResult dry = RunProgram(TOVRIN_PROGRAM, arguments,
                                         {{"TMPDIR", tmpdir.string()},
                                          {"HOME", "/nonexistent"},
                                          {"DISPLAY", std::nullopt},
                                          {"WAYLAND_DISPLAY", std::nullopt},
                                          {"XDG_STATE_HOME", (temp.path() / "state").string()}});
    const bool usable = tmpdir == tmp;
    EXPECT_EQ(dry.exitCode, usable ? 0 : 5) << dry.out << dry.err;
    EXPECT_EQ(dry.err.find("needs a temporary folder") != std::string::npos, !usable) << dry.err;
    EXPECT_EQ(Snapshot(drive()), before) << "the dry run touched the product";
  }
  EXPECT_TRUE(fs::is_empty(tmp));
}

// Breaks the product; what it returns is held for the run.
using ProductBreaker = std::unique_ptr<ProductLock> (*)(const fs::path& product);

struct RefusalCase {
  const char* check;
  ProductBreaker breakProduct;
  const char* finding;
  int status = 2;  // 6 for "not now"
};

TEST_F(RunReportTest, ARefusalSaysWhichCheckRefusedAndWhatItFound) {
  const RefusalCase cases[] = {
      {"settings file",
       [](const fs::path& p) -> std::unique_ptr<ProductLock> {
         fs::remove(p / "velsor1.ini");
         return nullptr;
       },
       "velsor1.ini was looked for in C:\\VELSOR and is not there"},
      {"product lock", [](const fs::path& p) { return LockProductFolder(p).lock; },
       "another run holds C:\\VELSOR\\.tovrin\\lock", 6},
      {"product files",
       [](const fs::path& p) -> std::unique_ptr<ProductLock> {
         fs::remove(p / "ve2menu.ini");
         fs::remove(p / "formater.exe");
         return nullptr;
       },
       "none of ve2menu.ini ve1menu.ini is in C:\\VELSOR\\"},
      {"product identification",
       [](const fs::path& p) -> std::unique_ptr<ProductLock> {
         std::ofstream(p / "velsor1.ini", std::ios::binary | std::ios::trunc)
             << *cp932::FromUtf8("[SYSTEM]\r\nTITLE=別の製品 8.0S\r\n");
         return nullptr;
       },
       "TITLE in [SYSTEM] of C:\\VELSOR\\velsor1.ini reads \"別の製品 8.0S\""},
  };
  for (const auto& refusal : cases) {
    SCOPED_TRACE(refusal.check);
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    const auto held = refusal.breakProduct(drive() / "VELSOR");
    const Tree before = Snapshot(drive());
    const fs::path log = temp.path() / "refused.log";
    const ProgramResult dry = Run({"--dry-run", "--log", log.string()});
    EXPECT_EQ(dry.exitCode, refusal.status) << dry.out << dry.err;
    const std::string check = std::string("refused by the ") + refusal.check + " check:";
    EXPECT_NE(dry.out.find("\nエラー: "), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find(check + "\n  " + refusal.finding), std::string::npos) << dry.out;
    EXPECT_NE(ReadFile(log).find(check + " " + refusal.finding), std::string::npos)
        << ReadFile(log);
    EXPECT_EQ(Snapshot(drive()), before);
  }
}

TEST_F(RunReportTest, StandardOutputIsTheSameWithATerminalOnStandardError) {
  const fs::path pristine = temp.path() / "pristine";
  fs::copy(drive(), pristine, fs::copy_options::recursive);
  const ProgramResult plain = Run({"--unattended"});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;

  fs::remove_all(drive());
  fs::copy(pristine, drive(), fs::copy_options::recursive);
  std::string command = std::string("'") + TOVRIN_PROGRAM + "'";
  for (const auto& argument : Arguments({"--unattended"})) command += " '" + argument + "'";
  const fs::path out = temp.path() / "out.txt";
  command += " >'" + out.string() + "'";
  // `script` gives the program a terminal on standard error and passes on
  // what it wrote there.
  const ProgramResult terminal = RunProgram("/usr/bin/script", {"-qec", command, "/dev/null"},
                                            {{"XDG_STATE_HOME", (temp.path() / "state").string()}});
  ASSERT_EQ(terminal.exitCode, 0) << terminal.out << terminal.err;
  EXPECT_EQ(ReadFile(out), plain.out);
  EXPECT_NE(terminal.out.find("\r\x1b[Krecord 5 of 5: TEIGI.DAT"), std::string::npos)
      << terminal.out;
  EXPECT_EQ(plain.err.find("record"), std::string::npos) << plain.err;
}

TEST_F(RunReportTest, ALogThatCannotBeWrittenIsToldOnceAndChangesNothingElse) {
  const fs::path notAFolder = temp.Write("state-file", "");
  const struct {
    std::vector<std::string> extra;
    std::string stateHome;
  } cases[] = {
      {{"--unattended"}, notAFolder.string()},
      {{"--unattended", "--log", (temp.path() / "missing" / "x.log").string()}, ""},
  };
  for (const auto& unwritable : cases) {
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
    const ProgramResult result = Run(unwritable.extra, unwritable.stateHome);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "更新先：C:\\VELSOR\n確認: システムは正常に更新されました。\n");
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    EXPECT_NE(result.err.find("the update goes on without a log"), std::string::npos);
    EXPECT_NE(ReadFile(drive() / "VELSOR" / "velsor1.ini").find(*cp932::FromUtf8("令和")),
              std::string::npos);
  }
}

TEST_F(RunReportTest, TheLogFolderKeepsTheNewest20Logs) {
  for (int second = 10; second < 35; ++second) {
    temp.Write("state/tovrin/logs/2020-01-01_00-00-" + std::to_string(second) + ".log", "old\n");
  }
  temp.Write("state/tovrin/logs/notes.txt", "");
  ASSERT_EQ(Run({"--unattended"}).exitCode, 0);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(logs())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 21u);
  EXPECT_EQ(names.front(), "2020-01-01_00-00-16.log");
  EXPECT_EQ(names.back(), "notes.txt");
  EXPECT_NE(ReadFile(logs() / names[names.size() - 2]).find("result: exit status 0"),
            std::string::npos);
}

}  // namespace
}  // namespace tovrin::testing
