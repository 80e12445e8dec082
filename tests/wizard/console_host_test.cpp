// The console hosts of the unattended run: boxes printed one per line and
// answered as nobody at the machine would; pages accepted as a user who
// reads nothing would accept them.

#include <gtest/gtest.h>

#include <sstream>

#include "hosts/console/console_dialog_host.hpp"
#include "hosts/console/console_user_interface.hpp"
#include "resources/resource_ids.hpp"
#include "tests/wizard/wizard_world.hpp"
#include "wizard/confirm_dlg.hpp"
#include "wizard/destination_dlg.hpp"
#include "wizard/notice_dlg.hpp"
#include "wizard/typed_destination.hpp"

namespace tovrin::testing {
namespace {

TEST(ConsoleUserInterface, PrintsEachBoxAsOneUtf8Line) {
  std::ostringstream out;
  ConsoleUserInterface ui(out);
  EXPECT_EQ(ui.MessageBox(nullptr, Sjis("システムは正常に更新されました。"), Sjis("確認"), MB_OK),
            IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, Sjis("一行目\r\n二行目"), Sjis("エラー"), MB_OK), IDOK);
  // A byte that is no CP932 character still leaves the rest readable.
  EXPECT_EQ(ui.MessageBox(nullptr, "bad \xA0 byte", "x", MB_OK), IDOK);
  EXPECT_EQ(out.str(),
            "確認: システムは正常に更新されました。\n"
            "エラー: 一行目 二行目\n"
            "x: bad ? byte\n");
}

TEST(ConsoleUserInterface, ADiskPromptAskedAgainIsCancelled) {
  std::ostringstream out;
  ConsoleUserInterface ui(out);
  const std::string disk2 = Sjis("2 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。");
  const std::string disk3 = Sjis("3 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。");
  const std::string caption = Sjis("確認");
  EXPECT_EQ(ui.MessageBox(nullptr, disk2, caption, MB_OKCANCEL), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, disk3, caption, MB_OKCANCEL), IDOK);
  EXPECT_EQ(ui.MessageBox(nullptr, disk2, caption, MB_OKCANCEL), IDCANCEL);
  // Boxes with only OK are never refused, however often they come.
  EXPECT_EQ(ui.MessageBox(nullptr, disk2, caption, MB_OK), IDOK);
}

class ConsoleDialogHostTest : public ::testing::Test {
 protected:
  WizardWorld world;
  std::ostringstream out;
};

TEST_F(ConsoleDialogHostTest, AcceptsTheNotesAndTheProposedFolder) {
  ConsoleDialogHost host(out, nullptr);
  CNoticeDlg notice(world.Platform());
  EXPECT_EQ(host.DoModal(notice), IDOK);
  CDestinationDlg destination(world.Platform());
  destination.m_strDestination = "C:\\PROG";
  EXPECT_EQ(host.DoModal(destination), IDOK);
  EXPECT_EQ(destination.m_strDestination, "C:\\PROG");
  EXPECT_EQ(out.str(), "");
}

TEST_F(ConsoleDialogHostTest, TheGivenDestinationIsTypedOverTheLookup) {
  world.Registry(
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\P]"
      "\n"
      "\"UninstallString\"=\"U.EXE -fC:\\\\FOUND\\\\U.LOG\"\n");
  CDestinationDlg destination(world.Platform());
  destination.m_strUninstallKey[0] = "P";
  ConsoleDialogHost lookupOnly(out, nullptr);
  EXPECT_EQ(lookupOnly.DoModal(destination), IDOK);
  EXPECT_EQ(destination.m_strDestination, "C:\\FOUND");

  TypedDestinationDialogs typed(lookupOnly, Sjis("D:\\設備"));
  EXPECT_EQ(typed.DoModal(destination), IDOK);
  EXPECT_EQ(destination.m_strDestination, Sjis("D:\\設備"));
}

TEST_F(ConsoleDialogHostTest, TheConfirmPagePrintsItsDestinationAndLaterPagesAreClosed) {
  ConsoleDialogHost host(out, nullptr);
  CConfirmDlg confirm(world.Platform());
  confirm.m_strDestination = Sjis("C:\\設備");
  EXPECT_EQ(host.DoModal(confirm), IDOK);
  EXPECT_EQ(out.str(), "更新先：C:\\設備\n");

  // The run refused the folder and sent the user back: nobody is there.
  CDestinationDlg destination(world.Platform());
  destination.m_strDestination = "C:\\PROG";
  world.Files().Chdrive(4);
  EXPECT_EQ(host.DoModal(destination), IDCANCEL);
  EXPECT_EQ(world.Files().Getdrive(), 4);
}

}  // namespace
}  // namespace tovrin::testing
