// The Windows wizard under Wine as a user meets it: started as a user
// starts it, its windows stacked and focused by the window manager, driven
// with real keys; the update run beside the window, with its progress
// window, and the boxes above it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine_gui/windows_program.hpp"
#include "tests/x_display/screen_cursor.hpp"
#include "tests/x_display/x_devices.hpp"

namespace tovrin {
namespace {

using namespace testing;

constexpr char kNotesPage[] = "マスタ調整機能付";
constexpr char kPage[] =
    "アップデート";  // the destination and confirm pages, and the progress window
constexpr char kMainWindow[] = "ベルソール設備9";
constexpr char kConfirmBox[] = "確認";
constexpr int kWindowSeconds = 60;  // Wine starts slowly on a busy machine

namespace fs = std::filesystem;

// Every file of the product with its size and digest, the program's bookkeeping
// left out.
std::map<std::string, std::string> Files(const fs::path& product) {
  std::map<std::string, std::string> files;
  for (auto entry = fs::recursive_directory_iterator(product);
       entry != fs::recursive_directory_iterator(); ++entry) {
    if (entry->path().filename() == ".tovrin") {
      entry.disable_recursion_pending();
      continue;
    }
    const std::string name = entry->path().lexically_relative(product).string();
    if (entry->is_directory()) {
      files[name] = "<dir>";
      continue;
    }
    std::ifstream file(entry->path(), std::ios::binary);
    const std::string content(std::istreambuf_iterator<char>(file), {});
    // Size and digest: a failure message stays readable.
    files[name] = std::to_string(content.size()) + " bytes #" +
                  std::to_string(std::hash<std::string>{}(content));
  }
  return files;
}

bool Updated(const fs::path& product) {
  std::ifstream file(product / "VELSOR.EXE", std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  return content.find("9.0S") != std::string::npos;
}

// Enter on the notes page: the destination page, which the test waits for.
unsigned long OpenDestinationPage() {
  const unsigned long notes = WaitForWindow(kNotesPage, kWindowSeconds);
  if (notes == 0) return 0;
  PressKeys("Return");
  return WaitForWindow(kPage, kWindowSeconds);
}

TEST(WindowsWizardUnderWine, FillsTheScreenWithTheNotesPageOnTopAndFocused) {
  WindowsProgram program;
  program.Start();
  const unsigned long notes = WaitForWindow(kNotesPage, kWindowSeconds);
  ASSERT_NE(notes, 0u) << "the notes page did not open";
  const unsigned long main = WaitForWindow(kMainWindow, kWindowSeconds);
  ASSERT_NE(main, 0u) << "the main window did not take line 1 of info.txt as its title";
  EXPECT_EQ(ActiveWindow(), notes);
  // Maximized as the window manager maximizes: all of the screen but the
  // caption the manager draws.
  const ScreenRect screen = Screen();
  const ScreenRect shown = Geometry(main);
  EXPECT_GE(shown.width, screen.width - 8);
  EXPECT_GE(shown.height, screen.height - 64);
  PressKeys("Escape");
  EXPECT_GE(program.WaitForExit(kWindowSeconds), 0);
}

TEST(WindowsWizardUnderWine, RunsBesideItsWindowWithTheProgressWindowAndBoxesAboveIt) {
  WindowsProgram program;
  program.Start();
  const unsigned long destination = OpenDestinationPage();
  ASSERT_NE(destination, 0u);
  PressKeys("Return");
  const unsigned long confirm = WaitForWindow(kPage, kWindowSeconds, {destination});
  ASSERT_NE(confirm, 0u) << "the confirm page did not open";
  // The cursor over the main window, away from the page.
  const ScreenRect screen = Screen();
  MovePointerTo(8, screen.height - 8);
  const CursorLook arrow = ScreenCursor();
  PressKeys("Return");

  // Disk 2 is asked for: the user's pace slows the run down.
  const unsigned long prompt = WaitForWindow(kConfirmBox, kWindowSeconds);
  ASSERT_NE(prompt, 0u) << "disk 2 was not asked for";
  const unsigned long progress = WaitForWindow(kPage, 10, {destination, confirm});
  EXPECT_NE(progress, 0u) << "no progress window during the run";
  EXPECT_EQ(ActiveWindow(), prompt) << "the disk prompt is not above the progress window";
  MovePointerTo(10, screen.height - 10);
  EXPECT_NE(ScreenCursor(), arrow) << "no busy cursor over the main window: " << Describe(arrow);
  PressKeys("Return");

  // The closing box: the progress window is gone before it.
  const unsigned long closing = WaitForWindow(kConfirmBox, kWindowSeconds, {prompt});
  ASSERT_NE(closing, 0u);
  if (progress != 0) {
    EXPECT_TRUE(WaitUntilGone(progress, 0));
  }
  EXPECT_EQ(ActiveWindow(), closing);
  PressKeys("Return");
  EXPECT_EQ(program.WaitForExit(kWindowSeconds), 0);
  EXPECT_TRUE(Updated(program.Product()));
}

// Walks the pages with Enter and answers every box with Enter, as a user
// who agrees to everything; the exit status, and every window seen before
// each Enter.
int AgreeToEverything(WindowsProgram& program, std::vector<ShownWindow>& seen) {
  for (int presses = 0; presses < 20; ++presses) {
    const int status = program.WaitForExit(3);
    if (status >= 0) return status;
    const auto shown = ShownWindows();
    seen.insert(seen.end(), shown.begin(), shown.end());
    PressKeys("Return");
  }
  return program.WaitForExit(kWindowSeconds);
}

std::string Describe(const std::vector<ShownWindow>& seen) {
  std::string described;
  for (const ShownWindow& window : seen) {
    described += window.title + ":";
    for (const std::string& text : window.texts) described += " [" + text + "]";
    described += "\n";
  }
  return described;
}

bool WasShown(const std::vector<ShownWindow>& seen, const std::string& title,
              const std::string& text) {
  return std::any_of(seen.begin(), seen.end(), [&](const ShownWindow& window) {
    return window.title == title &&
           std::find(window.texts.begin(), window.texts.end(), text) != window.texts.end();
  });
}

TEST(WindowsWizardUnderWine, PutsTheProductBackWithItsBoxWhenTheRunFailsOnAReadOnlyFile) {
  WindowsProgram program;
  const fs::path formater = program.Product() / "formater.exe";
  fs::permissions(formater,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto before = Files(program.Product());
  program.Start();
  ASSERT_NE(WaitForWindow(kNotesPage, kWindowSeconds), 0u);
  std::vector<ShownWindow> seen;
  EXPECT_EQ(AgreeToEverything(program, seen), 4);  // stopped by a failed copy
  fs::permissions(formater, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(WasShown(seen, kConfirmBox, "更新前の状態に戻しました。")) << Describe(seen);
  EXPECT_EQ(Files(program.Product()), before);
}

struct GivenDestination {
  const char* dest;   // --dest
  const char* typed;  // what the path field then holds
};

TEST(WindowsWizardUnderWine, TypesTheFolderGivenWithDestIntoThePathField) {
  const GivenDestination cases[] = {
      {"C:\\VELSOR2", "C:\\VELSOR2"},
      {"c:\\Program Files\\VELSOR", "c:\\Program Files\\VELSOR"},
  };
  for (const GivenDestination& given : cases) {
    SCOPED_TRACE(given.dest);
    WindowsProgram program;
    program.Start({"--dest", given.dest});
    ASSERT_NE(OpenDestinationPage(), 0u);
    EXPECT_THAT(TextsOf(kPage), ::testing::Contains(given.typed));
    PressKeys("Escape");
    EXPECT_GE(program.WaitForExit(kWindowSeconds), 0);
  }
}

constexpr char kAboutBox[] = "ﾊﾞｰｼﾞｮﾝ情報(Tovrin)";
constexpr int kAboutCommand = 57664;

TEST(WindowsWizardUnderWine, TheAboutBoxOpensOnItsCommandAndClosesByKey) {
  for (const char* closing : {"Return", "Escape"}) {
    SCOPED_TRACE(closing);
    WindowsProgram program;
    program.Start();
    const unsigned long notes = WaitForWindow(kNotesPage, kWindowSeconds);
    ASSERT_NE(notes, 0u);
    ASSERT_TRUE(PostCommand(kAboutCommand));
    const unsigned long about = WaitForWindow(kAboutBox, kWindowSeconds);
    ASSERT_NE(about, 0u) << "no About box";
    EXPECT_THAT(TextsOf(kAboutBox),
                ::testing::IsSupersetOf({"Tovrin Version 3.0", "Windows 版", "OK"}));
    EXPECT_EQ(ActiveWindow(), about);
    PressKeys(closing);
    EXPECT_TRUE(WaitUntilGone(about, 10));
    // The wizard goes on where it was.
    EXPECT_EQ(program.WaitForExit(0), -1);
    EXPECT_NE(WaitForWindow(kNotesPage, 10), 0u);
    PressKeys("Escape");
    EXPECT_GE(program.WaitForExit(kWindowSeconds), 0);
  }
}

}  // namespace
}  // namespace tovrin
