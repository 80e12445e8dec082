// The dialog operations a page calls, on a real page window: texts byte for
// byte, sorted list boxes, a page that ends before it shows, a page with no
// template, and the units positions are mapped with.

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "platform/cp932.hpp"
#include "hosts/wx/dialog_units.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/page_dialog.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "resources/dialog_templates.hpp"
#include "resources/resource_ids.hpp"

namespace tovrin {
namespace {

// A page that does what the test asks when it opens.
class ProbePage : public DialogPage {
 public:
  ProbePage(int templateId, std::function<void(Dialog&)> onOpen)
      : templateId_(templateId),
        onOpen_(std::move(onOpen)) {}
  int TemplateId() const override { return templateId_; }
  bool OnInitDialog(Dialog& dialog) override {
    onOpen_(dialog);
    return true;
  }

 private:
  int templateId_;
  std::function<void(Dialog&)> onOpen_;
};

class PageDialogTest : public ::testing::Test {
 protected:
  ProbePage page{IDD_DESTINATION, [](Dialog&) {}};
  gui::PageDialog dialog{nullptr, LoadDialogTemplate(IDD_DESTINATION), page, nullptr};
};

TEST_F(PageDialogTest, TextsComeBackByteForByte) {
  // 0x8790 and 0x81E0 are the same character in Unicode: only the bytes
  // that were set tell them apart.
  const std::string nec = "C:\\\x87\x90";
  const std::string jis = "C:\\\x81\xE0";
  dialog.SetDlgItemText(IDC_PATH, nec);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_PATH), nec);
  dialog.SetDlgItemText(IDC_PATH, jis);
  EXPECT_EQ(dialog.GetDlgItemText(IDC_PATH), jis);

  auto* path = dynamic_cast<wxTextCtrl*>(dialog.Control(IDC_PATH));
  ASSERT_NE(path, nullptr);
  path->ChangeValue(wxString::FromUTF8("D:\\新しい"));  // typed by the user
  EXPECT_EQ(dialog.GetDlgItemText(IDC_PATH), cp932::Text("D:\\新しい"));
  path->ChangeValue(wxString::FromUTF8("D:\\a😀b"));  // no CP932 spelling
  EXPECT_EQ(dialog.GetDlgItemText(IDC_PATH), "D:\\a?b");
}

TEST_F(PageDialogTest, MultiLineNotesBreakAtCrLf) {
  const std::string notes = cp932::Text("一行目\r\n二行目");
  dialog.SetDlgItemText(IDC_NOTES, notes);
  auto* edit = dynamic_cast<wxTextCtrl*>(dialog.Control(IDC_NOTES));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetNumberOfLines(), 2);
  EXPECT_EQ(edit->GetLineText(1), wxString::FromUTF8("二行目"));
  EXPECT_EQ(dialog.GetDlgItemText(IDC_NOTES), notes);
}

TEST_F(PageDialogTest, SortedListPlacesEntriesLetterCaseAside) {
  for (const char* name : {"[..]", "[data]", "[BMP]", "[Mst1]", "[bin]"})
    dialog.ListAddString(IDC_FOLDER_LIST, name);
  auto* list = dynamic_cast<wxListBox*>(dialog.Control(IDC_FOLDER_LIST));
  ASSERT_NE(list, nullptr);
  std::vector<std::string> shown;
  for (unsigned i = 0; i < list->GetCount(); ++i) shown.push_back(list->GetString(i).ToStdString());
  const std::vector<std::string> expected = {"[..]", "[bin]", "[BMP]", "[data]", "[Mst1]"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(dialog.ListGetText(IDC_FOLDER_LIST, 2), "[BMP]");
  EXPECT_EQ(dialog.ListGetCount(IDC_FOLDER_LIST), 5);
  EXPECT_EQ(dialog.ListGetCurSel(IDC_FOLDER_LIST), -1);
  list->SetSelection(3);
  EXPECT_EQ(dialog.ListGetCurSel(IDC_FOLDER_LIST), 3);

  // The drive list keeps the order entries come in.
  dialog.ListAddString(IDC_DRIVE_LIST, "[-d-]");
  dialog.ListAddString(IDC_DRIVE_LIST, "[-a-]");
  EXPECT_EQ(dialog.ListGetText(IDC_DRIVE_LIST, 0), "[-d-]");

  dialog.ListResetContent(IDC_FOLDER_LIST);
  EXPECT_EQ(list->GetCount(), 0u);
  EXPECT_EQ(dialog.ListGetCount(IDC_FOLDER_LIST), 0);
  EXPECT_EQ(dialog.ListGetText(IDC_FOLDER_LIST, 0), "");
}

TEST(WxDialogHost, PageEndedWhileOpeningNeverShowsAndGivesItsResult) {
  gui::WxDialogHost host(nullptr);
  ProbePage endsAtOnce(IDD_CONFIRM, [](Dialog& dialog) { dialog.EndDialog(1234); });
  EXPECT_EQ(host.DoModal(endsAtOnce), 1234);
  ProbePage noTemplate(4711, [](Dialog&) { ADD_FAILURE() << "a page without template opened"; });
  EXPECT_EQ(host.DoModal(noTemplate), -1);
}

TEST(DialogUnits, MapAsWindowsRoundsThem) {
  // Base units 7 × 15: x in quarters of 7, y in eighths of 15, each rounded.
  const gui::BaseUnits units{7, 15};
  const Rect place = gui::MapDialogRect(158, 108, 50, 14, units);
  EXPECT_EQ(place.left, 277);                // 158 × 7 / 4 = 276.5
  EXPECT_EQ(place.top, 203);                 // 108 × 15 / 8 = 202.5
  EXPECT_EQ(place.right, 277 + 88);          // 50 × 7 / 4 = 87.5
  EXPECT_EQ(place.bottom, 203 + 26);         // 14 × 15 / 8 = 26.25
  EXPECT_EQ(gui::AverageCharWidth(364), 7);  // 364 / 52 = 7
  EXPECT_EQ(gui::AverageCharWidth(338), 7);  // 6.5 rounds up
  EXPECT_EQ(gui::AverageCharWidth(337), 6);
}

TEST(FontAlias, TemplateFontResolvesToIpaPGothic) {
  for (const char* name : {"ＭＳ Ｐゴシック", "MS PGothic"}) {
    SCOPED_TRACE(name);
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    ASSERT_NE(pattern, nullptr);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    ASSERT_NE(match, nullptr);
    FcChar8* family = nullptr;
    ASSERT_EQ(FcPatternGetString(match, FC_FAMILY, 0, &family), FcResultMatch);
    EXPECT_STREQ(reinterpret_cast<const char*>(family), "IPAPGothic");
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }
}

TEST(GuiText, BytesWithoutCharacterShowAsReplacementAndTheRestStays) {
  EXPECT_EQ(gui::ToWx(cp932::Text("更新")), wxString::FromUTF8("更新"));
  // 0xA0 is no character in code page 932.
  EXPECT_EQ(gui::ToWx("a\xA0"
                      "b"),
            wxString::FromUTF8("a\xEF\xBF\xBD"
                               "b"));
  EXPECT_EQ(gui::FromWx(wxString::FromUTF8("ｲﾝｽﾄｰﾙ")), cp932::Text("ｲﾝｽﾄｰﾙ"));
}

TEST(GuiText, AMessageBoxKeepsItsLineBreaksAndShowsOtherControlsAsEscapes) {
  // GTK would cut the label at the NUL and hide the rest of the name.
  const std::string text = cp932::Text("更新\r\n") + std::string("\x1b]2;x\a\0y\rz\n", 11);
  EXPECT_EQ(gui::ToWxVisible(text), wxString::FromUTF8("更新\n\\x1b]2;x\\x07\\x00y\nz\n"));
}

}  // namespace
}  // namespace tovrin
