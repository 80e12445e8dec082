// The install-folder lookup: the uninstall command line turned into a
// folder, which key is read, and what the destination page's path field
// shows afterwards.

#include <gtest/gtest.h>

#include "resources/resource_ids.hpp"
#include "tests/support/scripted_dialog_host.hpp"
#include "tests/wizard/wizard_world.hpp"
#include "wizard/destination_dlg.hpp"
#include "wizard/install_folder_lookup.hpp"

namespace tovrin::testing {
namespace {

std::string Parsed(std::string text) {
  EXPECT_EQ(ParseUninstallString(text), 1) << text;
  return text;
}

TEST(ParseUninstallString, TakesDriveAndFolderOfThePathAfterF) {
  EXPECT_EQ(Parsed("C:\\WINDOWS\\REMOVE.EXE -fC:\\APPS\\EDIT\\REMOVE.LOG"), "C:\\APPS\\EDIT\\");
  EXPECT_EQ(Parsed("C:\\WINDOWS\\REMOVE.EXE -fC:\\APPS\\EDIT\\REMOVE.LOG -y"), "C:\\APPS\\EDIT\\");
  EXPECT_EQ(Parsed("C:\\WINDOWS\\REMOVE.EXE -fREMOVE.LOG"), "");
  EXPECT_EQ(Parsed("C:\\WINDOWS\\REMOVE.EXE -fC:\\REMOVE.LOG"), "C:\\");
}

TEST(ParseUninstallString, KeepsWhatSplittingLeavesInFrontOfTheFolder) {
  // A blank after -f hides the drive; a quote stays in front of the path.
  EXPECT_EQ(Parsed("UNINST.EXE -f C:\\APPS\\REMOVE.LOG"), " C:\\APPS\\");
  EXPECT_EQ(Parsed("UNINST.EXE -f\"C:\\APPS\\REMOVE.LOG\""), "\"C:\\APPS\\");
}

TEST(ParseUninstallString, LeavesATextWithoutFAlone) {
  std::string text = "C:\\WINDOWS\\REMOVE.EXE /uninstall";
  EXPECT_EQ(ParseUninstallString(text), 0);
  EXPECT_EQ(text, "C:\\WINDOWS\\REMOVE.EXE /uninstall");
}

TEST(ParseUninstallString, KeepsALongPathWhole) {
  const std::string folder = "C:\\" + std::string(120, 'A') + "\\" + std::string(90, 'B') + "\\";
  EXPECT_EQ(Parsed("UNINST.EXE -f" + folder + "REMOVE.LOG"), folder);
}

TEST(ParseUninstallString, DoesNotSplitAtASecondByte) {
  // 0x5C ends the double-byte character 表; it is no separator.
  const std::string folder = Sjis("C:\\表計算\\");
  EXPECT_EQ(Parsed("UNINST.EXE -f" + folder + Sjis("表.LOG")), folder);
}

const char* const kUninstall =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string Key(const std::string& name, const std::string& value) {
  std::string text = std::string("[") + kUninstall + name + "]\n\"DisplayName\"=\"x\"\n";
  if (!value.empty()) text += "\"UninstallString\"=\"" + value + "\"\n";
  return text + "\n";
}

class LookupOnThePageTest : public ::testing::Test {
 protected:
  LookupOnThePageTest() : page(world.Platform()) {}

  // What the path field shows once the page has opened on line 16 "C:\LINE16".
  std::string PathField() {
    page.m_strDestination = "C:\\LINE16";
    std::string shown;
    host.Then([&shown](PageDriver& driver) {
      shown = driver.Text(IDC_PATH);
      driver.Click(IDOK);
    });
    host.DoModal(page);
    return shown;
  }

  WizardWorld world;
  CDestinationDlg page;
  ScriptedDialogHost host;
};

TEST_F(LookupOnThePageTest, TheFirstKeyThatOpensEndsTheSearch) {
  world.Registry("REGEDIT4\n\n" + Key("Second", "X.EXE -fD:\\\\SECOND\\\\U.LOG") +
                 Key("First", ""));
  page.m_strUninstallKey[0] = "Missing";
  page.m_strUninstallKey[1] = "First";
  page.m_strUninstallKey[2] = "Second";
  // "First" opens but has no value: "Second" is never read.
  EXPECT_EQ(PathField(), "C:\\LINE16");

  page.m_strUninstallKey[1] = "Second";
  EXPECT_EQ(PathField(), "D:\\SECOND");
}

TEST_F(LookupOnThePageTest, NamesAfterAnEmptyOneAreIgnored) {
  world.Registry("REGEDIT4\n\n" + Key("Product", "X.EXE -fD:\\\\PROD\\\\U.LOG"));
  page.m_strUninstallKey[0] = "Missing";
  page.m_strUninstallKey[2] = "Product";
  EXPECT_EQ(PathField(), "C:\\LINE16");
}

TEST_F(LookupOnThePageTest, TheFieldShowsTheFolderWithoutItsLastBackslash) {
  // Names and values are CP932 in the file.
  world.Registry("REGEDIT4\n\n" + Key("製品", "X.EXE -fC:\\\\設備\\\\U.LOG") +
                 Key("Root", "X.EXE -fC:\\\\U.LOG") + Key("NoFolder", "X.EXE -fU.LOG") +
                 Key("NoF", "X.EXE /u"));
  page.m_strUninstallKey[0] = Sjis("製品");
  EXPECT_EQ(PathField(), Sjis("C:\\設備"));
  page.m_strUninstallKey[0] = "Root";
  EXPECT_EQ(PathField(), "C:");
  page.m_strUninstallKey[0] = "NoFolder";
  EXPECT_EQ(PathField(), "");
  page.m_strUninstallKey[0] = "NoF";
  EXPECT_EQ(PathField(), "C:\\LINE16");
}

}  // namespace
}  // namespace tovrin::testing
