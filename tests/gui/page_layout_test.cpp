// Each page opened on screen from its template with the sample data: every
// control where the template puts it, with its text and styles.

#include <gtest/gtest.h>

#include <cmath>

#include <wx/utils.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "app/about_dlg.hpp"
#include "picture/bitmap_file.hpp"
#include "picture/rgb_pixels.hpp"
#include "platform/cp932.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/page_controls.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "platform/program_directory.hpp"
#include "resources/resource_ids.hpp"
#include "tests/gui/modal_script.hpp"
#include "tests/gui/x_input.hpp"
#include "tests/gui/sample_installation.hpp"
#include "tests/support/scripted_user_interface.hpp"
#include "wizard/confirm_dlg.hpp"
#include "wizard/destination_dlg.hpp"
#include "wizard/notice_dlg.hpp"

namespace tovrin {
namespace {

using testing::ModalScript;

wxString Utf8(const char* text) { return wxString::FromUTF8(text); }

// Every control of the template, in tab order, at its place in dialog units
// of the page's font, shown or hidden and enabled or not as its styles say.
void ExpectControlsAsTemplate(gui::PageDialog& page) {
  const auto& controls = page.Template().controls;
  const wxWindowList& children = page.GetChildren();
  ASSERT_EQ(children.size(), controls.size());
  auto child = children.begin();
  for (const DialogControl& control : controls) {
    SCOPED_TRACE("control " + std::to_string(control.id) + " at " + std::to_string(control.x) +
                 "," + std::to_string(control.y));
    wxWindow* window = *child++;
    if (control.id != -1) {
      EXPECT_EQ(window, page.Control(control.id));
    }
    const Rect place =
        gui::MapDialogRect(control.x, control.y, control.cx, control.cy, page.Units());
    EXPECT_EQ(window->GetPosition(), wxPoint(place.left, place.top));
    if (control.className != "icon") {  // an icon keeps the icon's own size
      EXPECT_EQ(window->GetSize(), wxSize(place.right - place.left, place.bottom - place.top));
    }
    EXPECT_EQ(window->IsShown(), (control.style & 0x10000000u) != 0);    // WS_VISIBLE
    EXPECT_EQ(window->IsEnabled(), (control.style & 0x08000000u) == 0);  // WS_DISABLED
  }
}

wxString LabelOf(gui::PageDialog& page, std::size_t index) {
  return page.GetChildren()[index]->GetLabel();
}

// Mean red, green and blue of RGB pixel bytes.
std::array<double, 3> MeanColour(const unsigned char* rgb, std::size_t pixels) {
  std::array<double, 3> sum{};
  for (std::size_t i = 0; i < pixels; ++i)
    for (std::size_t c = 0; c < 3; ++c) sum[c] += rgb[3 * i + c];
  for (double& channel : sum) channel /= static_cast<double>(pixels);
  return sum;
}

// The picture frame on screen shows the picture: its mean colour is the
// picture's (a stretch moves single pixels, not the mean), not the
// background's.
void ExpectPicturePainted(gui::PageDialog& page, testing::SampleInstallation& sample,
                          const std::string& name) {
  wxWindow* frame = page.Control(IDC_PICTURE);
  ASSERT_NE(frame, nullptr);
  frame->Update();
  struct Surface : PaintSurface {
    Rect ClientRect() const override { return {}; }
    void StretchBitmap(const Rect&, const DeviceIndependentBitmap& bitmap, DWORD) override {
      rgb = ExpandToRgb(bitmap);
    }
    std::vector<std::uint8_t> rgb;
  } picture;
  ASSERT_EQ(DrawBitmapFile(sample.files(), picture, {}, sample.mediumFolder() + name, SRCCOPY), 1);
  const auto expected = MeanColour(picture.rgb.data(), picture.rgb.size() / 3);

  const wxSize size = frame->GetClientSize();
  const auto close = [&](const std::array<double, 3>& shown) {
    for (std::size_t c = 0; c < 3; ++c)
      if (std::abs(shown[c] - expected[c]) > 12.0) return false;
    return true;
  };
  std::array<double, 3> shown{};
  // A busy machine may draw late: look again a few times before judging.
  for (int attempt = 0; attempt < 10 && !close(shown); ++attempt) {
    if (attempt > 0) wxMilliSleep(50), wxYield();
    const wxImage image = testing::CaptureScreen({frame->ClientToScreen({0, 0}), size});
    ASSERT_TRUE(image.IsOk());
    shown = MeanColour(image.GetData(), static_cast<std::size_t>(size.x * size.y));
  }
  for (std::size_t c = 0; c < 3; ++c) EXPECT_NEAR(shown[c], expected[c], 12.0) << "channel " << c;
}

class PageLayoutTest : public ::testing::Test {
 protected:
  // Opens `page` through the wizard's host and runs `check` on it, then
  // closes it with its Cancel (Esc) result.
  void Open(DialogPage& page, const std::function<void(gui::PageDialog&)>& check) {
    gui::WxDialogHost host(nullptr);
    ModalScript script;
    script.Then(page.TemplateId(), [&](gui::PageDialog& shown) {
      check(shown);
      shown.EndDialog(IDCANCEL);
    });
    script.Run([&] { host.DoModal(page); });
    EXPECT_TRUE(script.AllStepsDone());
    EXPECT_EQ(script.Failures(), std::vector<std::string>{});
  }

  testing::SampleInstallation sample;
  UpdateDescription description = sample.Description();
  testing::ScriptedUserInterface boxes;
  Platform platform{sample.files(), sample.registry(), boxes, sample.mediumFolder()};
};

TEST_F(PageLayoutTest, NotesPage) {
  CNoticeDlg page(platform);
  page.m_strMasterAdjust = description.m_strMasterAdjust;
  page.m_strNotes = description.m_strNoticeNotes;
  page.m_strPicture = description.m_strNoticePicture;
  Open(page, [&](gui::PageDialog& shown) {
    ExpectControlsAsTemplate(shown);
    EXPECT_EQ(shown.GetTitle(), Utf8("マスタ調整機能付"));  // line 18 reads 1
    EXPECT_EQ(shown.Control(IDOK)->GetLabel(), Utf8("開始"));
    EXPECT_EQ(shown.Control(IDCANCEL)->GetLabel(), Utf8("取消"));
    EXPECT_EQ(LabelOf(shown, 3), Utf8("ｲﾝｽﾄｰﾙを開始します。\n下記の注意項目を確認して下さい。"));
    EXPECT_EQ(shown.GetDefaultItem(), shown.Control(IDOK));

    auto* notes = dynamic_cast<wxTextCtrl*>(shown.Control(IDC_NOTES));
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->IsMultiLine());
    EXPECT_FALSE(notes->IsEditable());
    // The converted tabs show as line breaks, and the page reads back the bytes it set.
    EXPECT_GT(notes->GetNumberOfLines(), 3);
    EXPECT_EQ(shown.GetDlgItemText(IDC_NOTES), description.m_strNoticeNotes);
    EXPECT_NE(dynamic_cast<gui::PictureFrame*>(shown.Control(IDC_PICTURE)), nullptr);
    ExpectPicturePainted(shown, sample, description.m_strNoticePicture);
    EXPECT_FALSE(testing::SaveScreenshot(&shown, "notes_page").empty());
  });
}

TEST_F(PageLayoutTest, NotesPageTitleWithoutMasterAdjustment) {
  CNoticeDlg page(platform);
  page.m_strMasterAdjust = "0";
  Open(page, [&](gui::PageDialog& shown) {
    EXPECT_EQ(shown.GetTitle(), Utf8("アップデート"));
    EXPECT_EQ(shown.GetDlgItemText(IDC_NOTES), "");
  });
}

TEST_F(PageLayoutTest, DestinationPage) {
  CDestinationDlg page(platform);
  page.m_strUninstallKey = description.m_strUninstallKey;
  page.m_strNotes = description.m_strDestNotes;
  page.m_strDestination = description.m_strDestination;
  page.m_strPicture = description.m_strDestPicture;
  Open(page, [&](gui::PageDialog& shown) {
    ExpectControlsAsTemplate(shown);
    EXPECT_EQ(shown.GetTitle(), Utf8("アップデート"));
    EXPECT_EQ(shown.Control(IDOK)->GetLabel(), Utf8("次へ"));
    EXPECT_EQ(shown.Control(IDC_BACK)->GetLabel(), Utf8("戻る"));
    EXPECT_EQ(LabelOf(shown, 2), Utf8("ｲﾝｽﾄｰﾙ先\n      ﾄﾞﾗｲﾌﾞ"));
    EXPECT_EQ(LabelOf(shown, 3), Utf8("ｲﾝｽﾄｰﾙ先ﾌｫﾙﾀﾞ"));
    auto* folderHeading = dynamic_cast<gui::StaticText*>(shown.GetChildren()[3]);
    ASSERT_NE(folderHeading, nullptr);
    EXPECT_TRUE(folderHeading->Sunken());
    EXPECT_EQ(folderHeading->Alignment(), wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL);
    EXPECT_EQ(shown.GetDefaultItem(), shown.Control(IDOK));

    auto* restore = dynamic_cast<wxCheckBox*>(shown.Control(IDC_RESTORE_CHECK));
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->GetLabel(), Utf8("更新前に戻す"));
    EXPECT_FALSE(restore->IsShown());
    EXPECT_FALSE(restore->IsEnabled());

    auto* drives = dynamic_cast<wxListBox*>(shown.Control(IDC_DRIVE_LIST));
    ASSERT_NE(drives, nullptr);
    wxArrayString driveEntries;
    driveEntries.Add("[-c-]");
    driveEntries.Add("[-d-]");
    EXPECT_EQ(drives->GetStrings(), driveEntries);
    EXPECT_EQ(drives->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(shown.ListGetCount(IDC_FOLDER_LIST), 0);

    auto* path = dynamic_cast<wxTextCtrl*>(shown.Control(IDC_PATH));
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->IsEditable());
    EXPECT_FALSE(path->IsMultiLine());
    EXPECT_FALSE(shown.GetDlgItemText(IDC_PATH).empty());
    EXPECT_EQ(shown.GetDlgItemText(IDC_NOTES), description.m_strDestNotes);
    ExpectPicturePainted(shown, sample, description.m_strDestPicture);
    EXPECT_FALSE(testing::SaveScreenshot(&shown, "destination_page").empty());
  });
}

std::vector<std::string> Entries(const wxListBox* list) {
  std::vector<std::string> entries;
  for (unsigned i = 0; i < list->GetCount(); ++i)
    entries.push_back(list->GetString(i).ToStdString());
  return entries;
}

TEST_F(PageLayoutTest, DestinationListsReachThePageAndFollowTheUser) {
  CDestinationDlg page(platform);
  Open(page, [&](gui::PageDialog& shown) {
    auto* drives = dynamic_cast<wxListBox*>(shown.Control(IDC_DRIVE_LIST));
    auto* folders = dynamic_cast<wxListBox*>(shown.Control(IDC_FOLDER_LIST));
    ASSERT_NE(drives, nullptr);
    ASSERT_NE(folders, nullptr);
    testing::ClickAt(testing::EntryPoint(drives, 0));  // [-c-]
    ASSERT_TRUE(testing::RunEventsUntil([&] { return folders->GetCount() == 3; }, 5));
    EXPECT_EQ(shown.GetDlgItemText(IDC_PATH), "c:\\");
    ASSERT_EQ(Entries(folders), (std::vector<std::string>{"[..]", "[VELSOR]", "[WINDOWS]"}));
    testing::ClickAt(testing::EntryPoint(folders, 1));  // [VELSOR]
    ASSERT_TRUE(testing::RunEventsUntil([&] { return folders->GetCount() == 4; }, 5));
    EXPECT_EQ(shown.GetDlgItemText(IDC_PATH), "C:\\VELSOR");
    EXPECT_EQ(Entries(folders), (std::vector<std::string>{"[..]", "[bmp]", "[MST1]", "[MST21]"}));
  });
}

TEST_F(PageLayoutTest, ConfirmPage) {
  CConfirmDlg page(platform);
  page.m_strDestination = cp932::Text("C:\\ベルソール");
  page.m_strPicture = description.m_strConfirmPicture;
  Open(page, [&](gui::PageDialog& shown) {
    ExpectControlsAsTemplate(shown);
    EXPECT_EQ(shown.GetTitle(), Utf8("アップデート"));
    EXPECT_EQ(shown.Control(IDOK)->GetLabel(), Utf8("更新"));
    EXPECT_EQ(shown.Control(IDCANCEL)->GetLabel(), Utf8("戻る"));
    EXPECT_EQ(LabelOf(shown, 2), Utf8("更新先："));
    EXPECT_EQ(shown.GetDefaultItem(), shown.Control(IDOK));

    auto* destination = dynamic_cast<gui::StaticText*>(shown.Control(IDC_NOTES));
    ASSERT_NE(destination, nullptr);
    EXPECT_EQ(destination->GetLabel(), Utf8("C:\\ベルソール"));
    EXPECT_TRUE(destination->Sunken());
    EXPECT_TRUE(destination->Alignment() & wxALIGN_CENTER_VERTICAL);
    ExpectPicturePainted(shown, sample, description.m_strConfirmPicture);
    EXPECT_FALSE(testing::SaveScreenshot(&shown, "confirm_page").empty());
  });
}

TEST_F(PageLayoutTest, AboutBox) {
  CAboutDlg page;
  Open(page, [&](gui::PageDialog& shown) {
    ExpectControlsAsTemplate(shown);
    EXPECT_EQ(shown.GetTitle(), Utf8("ﾊﾞｰｼﾞｮﾝ情報(Tovrin)"));
    EXPECT_EQ(LabelOf(shown, 1), "Tovrin Version 3.0");
    EXPECT_EQ(shown.Control(IDOK)->GetLabel(), "OK");
    EXPECT_TRUE(shown.HasFlag(wxSYSTEM_MENU));
    EXPECT_FALSE(testing::SaveScreenshot(&shown, "about_box").empty());
  });
}

}  // namespace
}  // namespace tovrin
