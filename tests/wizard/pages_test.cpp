// The notes and confirm pages: what they show, what they return, and the
// pictures that the pages and the view paint from the medium.

#include <gtest/gtest.h>

#include "picture/bitmap_file.hpp"
#include "platform/program_directory.hpp"
#include "resources/resource_ids.hpp"
#include "tests/support/scripted_dialog_host.hpp"
#include "tests/wizard/wizard_world.hpp"
#include "wizard/confirm_dlg.hpp"
#include "wizard/notice_dlg.hpp"

namespace tovrin::testing {
namespace {

TEST(NoticePage, TitleFollowsTheMasterSwitch) {
  WizardWorld world;
  struct Case {
    const char* line18;
    const char* title;
  };
  const Case cases[] = {{"0", "アップデート"},      {"", "アップデート"},
                        {"x", "アップデート"},      {"1", "マスタ調整機能付"},
                        {"-1", "マスタ調整機能付"}, {"7abc", "マスタ調整機能付"},
                        {" 2", "マスタ調整機能付"}, {"00", "アップデート"}};
  for (const Case& c : cases) {
    CNoticeDlg page(world.Platform());
    page.m_strMasterAdjust = c.line18;
    ScriptedDialogHost host;
    host.Then(Press(IDOK));
    EXPECT_EQ(host.DoModal(page), IDOK);
    EXPECT_EQ(host.Visits().at(0).title, Sjis(c.title)) << "line 18: '" << c.line18 << "'";
  }
}

TEST(NoticePage, ShowsTheNotesAndEndsWithTheButtonPressed) {
  WizardWorld world;
  CNoticeDlg page(world.Platform());
  page.m_strNotes = Sjis("一行目\r\n二行目");
  ScriptedDialogHost host;
  host.Then(Press(IDOK));
  host.Then(Press(IDCANCEL));
  host.Then([](PageDriver& driver) { driver.PressEsc(); });
  EXPECT_EQ(host.DoModal(page), IDOK);
  EXPECT_EQ(host.DoModal(page), IDCANCEL);
  EXPECT_EQ(host.DoModal(page), IDCANCEL);
  EXPECT_EQ(host.Visits().at(0).texts.at(IDC_NOTES), Sjis("一行目\r\n二行目"));
}

TEST(ConfirmPage, ShowsTheDestinationAsGivenAndBackIsCancel) {
  WizardWorld world;
  for (const std::string& destination :
       {std::string(), std::string("Q:\\NOWHERE"), Sjis("C:\\設備")}) {
    CConfirmDlg page(world.Platform());
    page.m_strDestination = destination;
    ScriptedDialogHost host;
    host.Then(Press(IDOK));
    host.Then(Press(IDCANCEL));
    host.Then([](PageDriver& driver) { driver.PressEsc(); });
    EXPECT_EQ(host.DoModal(page), IDOK);
    EXPECT_EQ(host.DoModal(page), IDCANCEL);
    EXPECT_EQ(host.DoModal(page), IDCANCEL);
    EXPECT_EQ(host.Visits().at(0).texts.at(IDC_NOTES), destination);
  }
}

// A paint surface that keeps what was drawn on it.
class RecordingSurface : public PaintSurface {
 public:
  Rect ClientRect() const override { return Rect{0, 0, 20, 20}; }
  void StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                     DWORD rop) override {
    drawn.push_back({destination.right, destination.bottom, bitmap.width, bitmap.height, rop});
  }
  struct Drawing {
    int right, bottom, width, height;
    DWORD rop;
    bool operator==(const Drawing&) const = default;
  };
  std::vector<Drawing> drawn;
};

// A 2 x 1 24-bit bitmap file.
std::string SmallBitmap() {
  std::string file = "BM";
  auto put32 = [&file](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  auto put16 = [&file](std::uint16_t value) {
    file += static_cast<char>(value & 0xFF);
    file += static_cast<char>(value >> 8);
  };
  put32(54 + 8), put32(0), put32(54);
  put32(40), put32(2), put32(1), put16(1), put16(24), put32(0), put32(8), put32(0), put32(0),
      put32(0), put32(0);
  file += std::string("\xff\x00\x00\x00\xff\x00\x00\x00", 8);
  return file;
}

TEST(PagePictures, PaintTheMediumPictureOrNothing) {
  WizardWorld world;
  world.File('D', "MEDIUM/NOTICE.BMP", SmallBitmap());
  world.Platform().mediumFolder = "D:\\MEDIUM\\";

  CNoticeDlg notice(world.Platform());
  notice.m_strPicture = "NOTICE.BMP";
  CConfirmDlg confirm(world.Platform());
  confirm.m_strPicture = "MISSING.BMP";
  ScriptedDialogHost host;
  RecordingSurface noticeFrame, confirmFrame;
  host.Then([&noticeFrame](PageDriver& driver) {
    driver.Paint(noticeFrame);
    driver.Click(IDOK);
  });
  host.Then([&confirmFrame](PageDriver& driver) {
    driver.Paint(confirmFrame);
    driver.Click(IDOK);
  });
  host.DoModal(notice);
  host.DoModal(confirm);
  EXPECT_EQ(noticeFrame.drawn, (std::vector<RecordingSurface::Drawing>{{20, 20, 2, 1, SRCCOPY}}));
  EXPECT_TRUE(confirmFrame.drawn.empty());
}

}  // namespace
}  // namespace tovrin::testing
