#include <gtest/gtest.h>

#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/wine_prefix.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using testing::ProgramResult;
using testing::TempFolder;

// The program with no Wine prefix of the machine in sight.
ProgramResult Tovrin(const std::vector<std::string>& arguments,
                     std::map<std::string, std::optional<std::string>> environment = {}) {
  environment.try_emplace("WINEPREFIX", std::nullopt);
  environment.try_emplace("HOME", "/nonexistent");
  return testing::RunProgram(TOVRIN_PROGRAM, arguments, environment);
}

std::string Canonical(const fs::path& path) { return fs::canonical(path).string(); }

TEST(DrivesCommand, PrintsOneLineADriveInLetterOrder) {
  TempFolder temp;
  fs::create_directories(temp.path() / "c");
  fs::create_directories(temp.path() / "fd");
  const auto result = Tovrin({"--drives", "--drive", "c=" + (temp.path() / "c").string(),
                              "--drive=A=" + (temp.path() / "fd").string() + ":removable"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "A: removable " + Canonical(temp.path() / "fd") + "\n" + "C: fixed " +
                            Canonical(temp.path() / "c") + "\n" + "Z: fixed /\n");
  EXPECT_EQ(result.err, "");
}

TEST(DrivesCommand, ReadsTheWinePrefixFromTheOptionOrTheEnvironment) {
  testing::WinePrefix wine;
  const std::string expected = "A: removable " + Canonical(wine.floppy) + "\n" + "C: fixed " +
                               Canonical(wine.prefix / "drive_c") + "\n" + "D: cdrom " +
                               Canonical(wine.cdrom) + "\n" + "Z: fixed /\n";
  const auto byOption = Tovrin({"--drives", "--wine-prefix", wine.prefix.string()});
  EXPECT_EQ(byOption.exitCode, 0) << byOption.err;
  EXPECT_EQ(byOption.out, expected);
  const auto byEnvironment = Tovrin({"--drives"}, {{"WINEPREFIX", wine.prefix.string()}});
  EXPECT_EQ(byEnvironment.out, expected);
  const auto none = Tovrin({"--drives"});
  EXPECT_EQ(none.out, "Z: fixed /\n");
}

TEST(ResolveCommand, FollowsTheCaseInsensitiveMatchInUtf8) {
  TempFolder temp;
  temp.Write("ソフト/Data/表示.txt", "x");
  const std::string drive = "C=" + temp.path().string();
  const std::string root = Canonical(temp.path());

  auto result = Tovrin({"--drive", drive, "--resolve", "c:\\ソフト\\DATA\\表示.TXT"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, root + "/ソフト/Data/表示.txt\n");

  result = Tovrin({"--resolve", "C:/ソフト//data/../Data/new/file.ini", "--drive", drive});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, root + "/ソフト/Data/new/file.ini\n") << "the missing rest appended";
}

TEST(ResolveCommand, AnUnmappedDriveIsAnError) {
  TempFolder temp;
  const auto result = Tovrin({"--drive", "C=" + temp.path().string(), "--resolve", "Q:\\file"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "tovrin: drive Q: is not mapped\n");

  const auto emoji = Tovrin({"--resolve", "C:\\\xF0\x9F\x98\x80"});
  EXPECT_EQ(emoji.exitCode, 1);
  EXPECT_NE(emoji.err.find("code page 932"), std::string::npos);
}

TEST(CommandLine, ABadCommandLineShowsTheUsage) {
  TempFolder temp;
  const std::vector<std::vector<std::string>> bad = {
      {"--frobnicate"},
      {"stray"},
      {"--resolve"},
      {"--drives=yes"},
      {"--drives", "--resolve", "C:\\"},
      {"--drives", "--drive", "C:" + temp.path().string()},
      {"--drives", "--drive", "C=" + temp.path().string() + ":tape"},
      {"--drives", "--wine-prefix", (temp.path() / "none").string()},
  };
  for (const auto& arguments : bad) {
    const auto result = Tovrin(arguments);
    EXPECT_EQ(result.exitCode, 64) << arguments[0];
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("tovrin: ")) << result.err;
  }
  EXPECT_NE(Tovrin({"--frobnicate"}).err.find("usage: tovrin"), std::string::npos);
}

}  // namespace
}  // namespace tovrin
