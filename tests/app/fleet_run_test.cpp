// What an administrator of many PCs relies on, through the real program: a
// second run changes nothing and says so, and the report for machines holds
// the documented fields for every outcome.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "platform/product_lock.hpp"
#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

const fs::path kExamples = fs::path(TOVRIN_SOURCE_DIR) / "examples";

// Each product file but the bookkeeping: inode, modification time, content.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::end(entry); ++entry) {
    if (entry->path().filename() == ".tovrin") {
      entry.disable_recursion_pending();
      continue;
    }
    struct stat status {};
    ::lstat(entry->path().c_str(), &status);
    files[entry->path().string()] = std::to_string(status.st_ino) + " " +
                                    std::to_string(status.st_mtim.tv_sec) + "." +
                                    std::to_string(status.st_mtim.tv_nsec) + " " +
                                    (entry->is_regular_file() ? ReadFile(entry->path()) : "/");
  }
  return files;
}

// The documented fields and their types; throws (json::type_error) or fails
// on any that is missing or of another type.
void ExpectDocumentedFields(const json& report) {
  const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)");
  EXPECT_EQ(report.at("program"), "tovrin");
  EXPECT_FALSE(report.at("version").get<std::string>().empty());
  EXPECT_TRUE(std::regex_match(report.at("started").get<std::string>(), time));
  EXPECT_TRUE(std::regex_match(report.at("ended").get<std::string>(), time));
  for (const char* field : {"folder", "title", "version"})
    report.at("medium").at(field).get<std::string>();
  if (!report.at("product").is_null()) report.at("product").at("folder").get<std::string>();
  report.at("exit_status").get<int>();
  report.at("changed").get<bool>();
  if (!report.at("refusal").is_null()) {
    report.at("refusal").at("check").get<std::string>();
    EXPECT_FALSE(report.at("refusal").at("findings").get<std::vector<std::string>>().empty());
  }
  const std::regex sha256("[0-9a-f]{64}");
  for (const json& change : report.at("changes")) {
    const std::string type = change.at("type");
    if (type == "file") {
      EXPECT_TRUE(change.at("action") == "added" || change.at("action") == "replaced" ||
                  change.at("action") == "removed")
          << change;
      for (const char* side : {"old", "new"}) {
        if (change.at(side).is_null()) continue;
        change.at(side).at("size").get<std::uint64_t>();
        EXPECT_TRUE(std::regex_match(change.at(side).at("sha256").get<std::string>(), sha256));
      }
    } else if (type == "setting") {
      for (const char* field : {"file", "section", "key", "new"})
        change.at(field).get<std::string>();
      EXPECT_TRUE(change.at("old").is_null() || change.at("old").is_string());
    } else if (type == "master") {
      EXPECT_GT(change.at("records_rewritten").get<int>(), 0);
    } else {
      EXPECT_EQ(type, "folder");
    }
  }
  for (const json& box : report.at("boxes")) {
    box.at("caption").get<std::string>();
    box.at("text").get<std::string>();
    EXPECT_TRUE(box.at("answer") == "OK" || box.at("answer") == "Cancel");
  }
  if (!report.at("restore").is_null()) {
    report.at("restore").at("complete").get<bool>();
    report.at("restore").at("put_back").get<std::vector<std::string>>();
    report.at("restore").at("not_restored").get<std::vector<std::string>>();
  }
}

class FleetRunTest : public ::testing::Test {
 public:
  FleetRunTest() { Reset(); }

  void Reset() {
    fs::remove_all(drive());
    fs::copy(kExamples / "product" / "drive_c", drive(), fs::copy_options::recursive);
  }
  fs::path drive() const { return temp.path() / "c"; }
  fs::path report() const { return temp.path() / "report.json"; }

  ProgramResult Run(std::vector<std::string> extra, const fs::path& medium = kExamples / "medium") {
    std::vector<std::string> arguments = {
        "--medium",   medium.string(),
        "--drive",    "C=" + drive().string(),
        "--registry", (kExamples / "product" / "uninstall.reg").string(),
        "--log",      (temp.path() / "run.log").string(),
        "--report",   report().string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return RunProgram(
        TOVRIN_PROGRAM, arguments,
        {{"WINEPREFIX", std::nullopt}, {"HOME", "/nonexistent"}, {"DISPLAY", std::nullopt}});
  }

  json Report() const { return json::parse(ReadFile(report())); }

  TempFolder temp;
};

TEST_F(FleetRunTest, ASecondRunWritesNothingAndSaysSo) {
  ASSERT_EQ(Run({"--unattended"}).exitCode, 0);
  EXPECT_EQ(Report().at("outcome"), "applied");
  EXPECT_TRUE(Report().at("changed").get<bool>());
  const auto updated = Files(drive());

  const ProgramResult dry = Run({"--dry-run"});
  EXPECT_EQ(dry.exitCode, 0) << dry.out << dry.err;
  EXPECT_NE(dry.out.find("dry run: nothing would change"), std::string::npos) << dry.out;
  EXPECT_EQ(dry.out.find("\n  "), std::string::npos) << "lists a change:\n" << dry.out;
  EXPECT_FALSE(Report().at("changed").get<bool>());

  const ProgramResult again = Run({"--unattended"});
  EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
  EXPECT_EQ(Files(drive()), updated) << "a file was written again";
  const json second = Report();
  EXPECT_EQ(second.at("outcome"), "unchanged");
  EXPECT_FALSE(second.at("changed").get<bool>());
  EXPECT_TRUE(second.at("changes").empty()) << second.at("changes");
  EXPECT_NE(ReadFile(temp.path() / "run.log").find("applied; nothing changed"), std::string::npos);
}

struct OutcomeCase {
  const char* outcome;
  std::function<std::vector<std::string>(FleetRunTest&, std::unique_ptr<ProductLock>&)> prepare;
  int status;
  bool changed;
  std::function<void(const json&)> about;  // what this outcome's report must tell
};

bool HasChange(const json& report, const char* type, const char* field, const std::string& value) {
  for (const json& change : report.at("changes")) {
    if (change.at("type") == type &&
        change.value(field, json()).dump().find(value) != std::string::npos)
      return true;
  }
  return false;
}

std::string LastLine(const std::string& text) {
  const auto end = text.find_last_not_of('\n');
  return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

TEST_F(FleetRunTest, TheReportHoldsTheDocumentedFieldsForEveryOutcome) {
  const OutcomeCase cases[] = {
      {"applied", [](FleetRunTest&, auto&) { return std::vector<std::string>{}; }, 0, true,
       [](const json& report) {
         EXPECT_TRUE(HasChange(report, "file", "path", "VELSOR.EXE")) << report;
         EXPECT_TRUE(HasChange(report, "setting", "key", "GENGOU")) << report;
         EXPECT_TRUE(HasChange(report, "master", "path", "zai001-3.mst")) << report;
         EXPECT_EQ(report.at("product").at("number"), 3);
       }},
      {"unchanged",
       [](FleetRunTest& test, auto&) {
         test.Run({"--unattended"});
         return std::vector<std::string>{};
       },
       0, false, [](const json& report) { EXPECT_TRUE(report.at("changes").empty()) << report; }},
      {"refused",
       [](FleetRunTest& test, auto&) {
         fs::create_directories(test.drive() / "EMPTY");
         return std::vector<std::string>{"--dest", "C:\\EMPTY"};
       },
       2, false,
       [](const json& report) { EXPECT_EQ(report.at("refusal").at("check"), "settings file"); }},
      {"busy",
       [](FleetRunTest& test, auto& held) {
         held = LockProductFolder(test.drive() / "VELSOR").lock;
         return std::vector<std::string>{};
       },
       6, false,
       [](const json& report) { EXPECT_EQ(report.at("refusal").at("check"), "product lock"); }},
      {"cancelled",
       [](FleetRunTest& test, auto&) {
         // From a removable drive, disk 2 never comes.
         fs::copy(kExamples / "medium", test.temp.path() / "medium", fs::copy_options::recursive);
         // Unsigned: a signed disk missing a listed file is refused before its prompt.
         for (const char* file : {"BMPUPD.lzh", "SHA256SUMS", "SHA256SUMS.minisig"}) {
           fs::remove(test.temp.path() / "medium" / file);
         }
         return std::vector<std::string>{
             "--drive", "A=" + (test.temp.path() / "medium").string() + ":removable", "--medium",
             (test.temp.path() / "medium").string()};
       },
       3, false,
       [](const json& report) {
         EXPECT_TRUE(report.at("restore").at("complete").get<bool>()) << report;
         EXPECT_EQ(report.at("boxes").front().at("answer"), "OK");
         EXPECT_EQ(report.at("boxes").at(1).at("answer"), "Cancel");
       }},
      {"failed_restored",
       [](FleetRunTest& test, auto&) {
         fs::permissions(test.drive() / "VELSOR" / "formater.exe", fs::perms::owner_read);
         return std::vector<std::string>{};
       },
       4, false,
       [](const json& report) {
         EXPECT_TRUE(report.at("restore").at("complete").get<bool>()) << report;
         EXPECT_TRUE(HasChange(report, "file", "path", "VELSOR.EXE")) << "what was undone is told";
         EXPECT_NE(report.at("restore").at("put_back").dump().find("VELSOR.EXE"), std::string::npos)
             << report;
       }},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(expected.outcome);
    Reset();
    fs::remove_all(temp.path() / "medium");
    std::unique_ptr<ProductLock> held;
    std::vector<std::string> arguments = expected.prepare(*this, held);
    arguments.push_back("--unattended");
    const ProgramResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, expected.status) << result.out << result.err;
    const json report = Report();
    ExpectDocumentedFields(report);
    EXPECT_EQ(report.at("mode"), "run");
    EXPECT_EQ(report.at("outcome"), expected.outcome);
    EXPECT_EQ(report.at("exit_status"), expected.status);
    EXPECT_EQ(report.at("changed"), expected.changed);
    const json& box = report.at("boxes").back();
    EXPECT_EQ(box.at("caption").get<std::string>() + ": " + box.at("text").get<std::string>(),
              LastLine(result.out));
    expected.about(report);
  }
}

TEST_F(FleetRunTest, UndoWritesItsReportToo) {
  ASSERT_EQ(Run({"--unattended"}).exitCode, 0);
  const ProgramResult undo = Run({"--undo", "--dest", "C:\\VELSOR"});
  EXPECT_EQ(undo.exitCode, 0) << undo.err;
  EXPECT_EQ(Report().at("mode"), "undo");
  EXPECT_EQ(Report().at("outcome"), "applied");
  EXPECT_TRUE(Report().at("restore").at("complete").get<bool>());
  const ProgramResult nothing = Run({"--undo", "--dest", "C:\\VELSOR"});
  EXPECT_EQ(nothing.exitCode, 2);
  EXPECT_EQ(Report().at("outcome"), "refused");
  EXPECT_EQ(Report().at("refusal").at("check"), "journal");
}

TEST_F(FleetRunTest, AReportThatCannotBeWrittenIsToldOnceAndChangesNothingElse) {
  std::vector<std::string> arguments = {"--unattended", "--report",
                                        (temp.path() / "missing" / "r.json").string()};
  const ProgramResult result = Run(arguments);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "tovrin: the report " + arguments.back() + " cannot be written\n");
  EXPECT_EQ(result.out, "更新先：C:\\VELSOR\n確認: システムは正常に更新されました。\n");
}

}  // namespace
}  // namespace tovrin::testing
