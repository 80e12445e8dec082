// The window manager for the whole program, as on a user's desktop; the
// Windows build must be there.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/x_display/window_manager.hpp"

namespace tovrin {
namespace {

class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(TOVRIN_SOURCE_DIR "/build-windows/tovrin.exe"))
        << "no Windows build: make windows";
    ASSERT_TRUE(windowManager_.Start()) << "no window manager: install openbox";
  }
  void TearDown() override { windowManager_.Stop(); }

 private:
  testing::WindowManager windowManager_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new WineEnvironment);

}  // namespace
}  // namespace tovrin
