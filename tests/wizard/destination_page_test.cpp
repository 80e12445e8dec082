// The destination page on real folders: the drive list, walking folders
// through the per-drive current folders, what OK, Esc and Back return, and
// each drive's current folder set back on every way out.

#include <gtest/gtest.h>

#include "resources/resource_ids.hpp"
#include "tests/support/scripted_dialog_host.hpp"
#include "tests/wizard/wizard_world.hpp"
#include "wizard/destination_dlg.hpp"

namespace tovrin::testing {
namespace {

using Entries = std::vector<std::string>;

class DestinationPageTest : public ::testing::Test {
 protected:
  DestinationPageTest() : page(world.Platform()) {
    world.Folder('D', "DATA/SUB");
    world.Folder('D', "apps");
    world.File('D', "readme.txt");
    world.Folder('C', "PROG");
    page.m_strDestination = "C:\\DEFAULT";
    world.Files().Chdrive(3);  // C: is current when the page opens
  }

  // Runs the page with one script step; returns its result.
  int Run(PageScript step) {
    host.Then(std::move(step));
    return host.DoModal(page);
  }

  WizardWorld world;
  CDestinationDlg page;
  ScriptedDialogHost host;
};

TEST_F(DestinationPageTest, OpensWithTheDrivesTheFieldAndNoFolders) {
  page.m_strNotes = "line one\r\nline two";
  const int result = Run([](PageDriver& driver) {
    EXPECT_EQ(driver.Entries(IDC_DRIVE_LIST), (Entries{"[-c-]", "[-d-]"}));
    EXPECT_EQ(driver.Dialog().ListGetCurSel(IDC_DRIVE_LIST), -1);
    EXPECT_TRUE(driver.Entries(IDC_FOLDER_LIST).empty());
    EXPECT_EQ(driver.Text(IDC_PATH), "C:\\DEFAULT");
    EXPECT_EQ(driver.Text(IDC_NOTES), "line one\r\nline two");
    driver.Click(IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(page.m_strDestination, "C:\\DEFAULT");
}

TEST_F(DestinationPageTest, PickingADriveShowsItsRootAndFoldersButNoFilesNorBookkeeping) {
  world.Folder('D', ".hidden");
  world.Folder('D', "SYS");
  world.Folder('D', ".tovrin");  // an update run's bookkeeping: never offered
  // Hidden and system as Wine marks them, where the file system keeps them.
  FileStatus status;
  ASSERT_TRUE(world.Files().GetStatus("D:\\SYS", status));
  status.attribute |= ATTR_HIDDEN | ATTR_SYSTEM;
  world.Files().SetStatus("D:\\SYS", status);
  Run([](PageDriver& driver) {
    driver.Select(IDC_DRIVE_LIST, "[-d-]");
    EXPECT_EQ(driver.Text(IDC_PATH), "d:\\");
    EXPECT_EQ(driver.Entries(IDC_FOLDER_LIST),
              (Entries{"[..]", "[.hidden]", "[apps]", "[DATA]", "[SYS]"}));
    driver.Click(IDOK);
  });
  EXPECT_EQ(page.m_strDestination, "d:\\");
}

TEST_F(DestinationPageTest, EnteringFoldersFollowsTheDrivesCurrentFolder) {
  Run([](PageDriver& driver) {
    driver.Select(IDC_DRIVE_LIST, "[-d-]");
    driver.Select(IDC_FOLDER_LIST, "[DATA]");
    EXPECT_EQ(driver.Text(IDC_PATH), "D:\\DATA");
    EXPECT_EQ(driver.Entries(IDC_FOLDER_LIST), (Entries{"[..]", "[SUB]"}));
    driver.DoubleClick(IDC_FOLDER_LIST, "[SUB]");
    EXPECT_EQ(driver.Text(IDC_PATH), "D:\\DATA\\SUB");
    EXPECT_EQ(driver.Entries(IDC_FOLDER_LIST), (Entries{"[..]"}));
    driver.Select(IDC_FOLDER_LIST, "[..]");
    EXPECT_EQ(driver.Text(IDC_PATH), "D:\\DATA");
    driver.Click(IDOK);
  });
  EXPECT_EQ(page.m_strDestination, "D:\\DATA");
}

TEST_F(DestinationPageTest, GoingUpAtARootStaysThere) {
  Run([](PageDriver& driver) {
    driver.Select(IDC_DRIVE_LIST, "[-d-]");
    driver.Select(IDC_FOLDER_LIST, "[..]");
    EXPECT_EQ(driver.Text(IDC_PATH), "D:\\");
    EXPECT_EQ(driver.Entries(IDC_FOLDER_LIST), (Entries{"[..]", "[apps]", "[DATA]"}));
    driver.Click(IDOK);
  });
}

TEST_F(DestinationPageTest, AFolderThatCannotBeEnteredLeavesTheFieldWhereItWas) {
  Run([this](PageDriver& driver) {
    driver.Select(IDC_DRIVE_LIST, "[-d-]");
    std::filesystem::remove_all(world.Drive('D') / "apps");
    driver.Select(IDC_FOLDER_LIST, "[apps]");
    EXPECT_EQ(driver.Text(IDC_PATH), "D:\\");
    driver.Click(IDOK);
  });
}

TEST_F(DestinationPageTest, TypedTextIsReturnedExactly) {
  for (const std::string& typed :
       {std::string(), std::string("Q:\\NOWHERE\\"), Sjis("C:\\ソフト\\表計算")}) {
    Run([&typed](PageDriver& driver) {
      driver.Type(IDC_PATH, typed);
      driver.Click(IDOK);
    });
    EXPECT_EQ(page.m_strDestination, typed);
  }
}

TEST_F(DestinationPageTest, EscAndBackKeepTheCallersFolder) {
  EXPECT_EQ(Run([](PageDriver& driver) {
              driver.Type(IDC_PATH, "D:\\TYPED");
              driver.PressEsc();
            }),
            IDCANCEL);
  EXPECT_EQ(page.m_strDestination, "C:\\DEFAULT");
  EXPECT_EQ(Run([](PageDriver& driver) {
              driver.Type(IDC_PATH, "D:\\TYPED");
              driver.Click(IDC_BACK);
            }),
            IDC_BACK);
  EXPECT_EQ(page.m_strDestination, "C:\\DEFAULT");
}

TEST_F(DestinationPageTest, EveryWayOutPutsBackEachDrivesFolder) {
  // A medium at the root of D: names its files "D:name", relative to D:'s
  // current folder: browsing D: must not move them away.
  const std::vector<PageScript> waysOut = {Press(IDOK), Press(IDC_BACK),
                                           [](PageDriver& driver) { driver.PressEsc(); }};
  for (const PageScript& leave : waysOut) {
    world.Files().Chdir("D:\\");
    world.Files().Chdir("C:\\PROG");
    Run([&leave](PageDriver& driver) {
      driver.Select(IDC_DRIVE_LIST, "[-d-]");
      driver.Select(IDC_FOLDER_LIST, "[DATA]");
      driver.Select(IDC_FOLDER_LIST, "[SUB]");
      driver.Select(IDC_DRIVE_LIST, "[-c-]");
      leave(driver);
    });
    EXPECT_EQ(world.Files().Getdrive(), 3);
    EXPECT_EQ(world.Files().Getcwd(), "C:\\PROG");
    EXPECT_EQ(world.Files().Exists("D:readme.txt"), Presence::Present);
    world.Files().Chdrive(4);
    EXPECT_EQ(world.Files().Getcwd(), "D:\\");
  }
}

}  // namespace
}  // namespace tovrin::testing
