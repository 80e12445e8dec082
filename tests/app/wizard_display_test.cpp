#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/run_program.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

TEST(WizardDisplay, WithoutADisplayTheProgramPointsToTheUnattendedRun) {
  testing::TempFolder temp;
  fs::create_directories(temp.path() / "c");
  const auto result = testing::RunProgram(
      TOVRIN_PROGRAM,
      {"--medium", (fs::path(TOVRIN_SOURCE_DIR) / "examples" / "medium").string(), "--drive",
       "C=" + (temp.path() / "c").string()},
      {{"DISPLAY", std::nullopt},
       {"WAYLAND_DISPLAY", std::nullopt},
       {"WINEPREFIX", std::nullopt},
       {"HOME", "/nonexistent"}});
  EXPECT_EQ(result.exitCode, 64);
  EXPECT_NE(result.err.find("--unattended"), std::string::npos) << result.err;
  EXPECT_TRUE(fs::is_empty(temp.path() / "c"));
}

}  // namespace
}  // namespace tovrin
