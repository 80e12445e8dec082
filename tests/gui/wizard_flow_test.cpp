// The wizard as the user meets it: the main window with its title, and the
// pages one after the other as the buttons, Enter and Esc lead, pressed
// through simulated mouse and keyboard input.

#include <gtest/gtest.h>

#include "app/main_frame.hpp"
#include "platform/cp932.hpp"
#include "platform/gui/gui_text.hpp"
#include "platform/gui/wx_dialog_host.hpp"
#include "resources/resource_ids.hpp"
#include "tests/gui/modal_script.hpp"
#include "tests/gui/sample_installation.hpp"
#include "tests/support/scripted_user_interface.hpp"

namespace tovrin {
namespace {

using testing::Click;
using testing::ModalScript;
using testing::PressKey;

class WizardFlowTest : public ::testing::Test {
 protected:
  explicit WizardFlowTest(bool withInfoFile = true) : sample(withInfoFile) {}

  // Opens the main window and runs the wizard with `script` on its pages
  // until the frame has closed.
  void RunWizard(ModalScript& script) {
    script.Run([&] {
      frame = new CMainFrame(platform, sample.archives(), host, queue);
      frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == frame) frame = nullptr;
        event.Skip();
      });
      frame->Show();
      frameClosed = testing::RunEventsUntil([this] { return frame == nullptr; });
    });
    EXPECT_EQ(script.Failures(), std::vector<std::string>{});
    EXPECT_TRUE(script.AllStepsDone());
    EXPECT_TRUE(frameClosed);
    if (frame != nullptr) frame->Destroy();
  }

  wxString FrameTitle() const { return frame != nullptr ? frame->GetTitle() : "<closed>"; }

  testing::SampleInstallation sample;
  testing::ScriptedUserInterface boxes;
  Platform platform{sample.files(), sample.registry(), boxes};
  MessageQueue queue;
  gui::WxDialogHost host{&queue};
  CMainFrame* frame = nullptr;
  bool frameClosed = false;
};

TEST_F(WizardFlowTest, ButtonsEnterAndEscLeadFromPageToPage) {
  const UpdateDescription description = sample.Description();
  std::string chosen;
  ModalScript script;
  script
      .Then(IDD_NOTICE,
            [&](gui::PageDialog& page) {
              // Command 104 came through while this page is open.
              EXPECT_EQ(FrameTitle(), gui::ToWx(description.m_strUninstallKey[0]));
              EXPECT_TRUE(frame->IsMaximized() || frame->GetSize() == wxGetClientDisplayRect().GetSize());
              // A caption and nothing else; the view fills the client area.
              EXPECT_TRUE(frame->HasFlag(wxCAPTION));
              EXPECT_FALSE(frame->HasFlag(wxSYSTEM_MENU) || frame->HasFlag(wxRESIZE_BORDER) ||
                           frame->HasFlag(wxMAXIMIZE_BOX) || frame->HasFlag(wxMINIMIZE_BOX));
              EXPECT_EQ(frame->GetMenuBar(), nullptr);
              EXPECT_EQ(frame->GetToolBar(), nullptr);
              EXPECT_EQ(frame->GetStatusBar(), nullptr);
              EXPECT_EQ(frame->ViewWindowOf()->GetSize(), frame->GetClientSize());
              testing::SaveScreenshot(frame, "main_window");
              Click(page.Control(IDOK));  // 開始
            })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDC_BACK)); })  // 戻る
      .Then(IDD_NOTICE, [&](gui::PageDialog& page) { PressKey(page, WXK_RETURN); })
      .Then(IDD_DESTINATION,
            [&](gui::PageDialog& page) {
              chosen = page.GetDlgItemText(IDC_PATH);
              Click(page.Control(IDOK));  // 次へ
            })
      .Then(IDD_CONFIRM,
            [&](gui::PageDialog& page) {
              EXPECT_EQ(page.GetDlgItemText(IDC_NOTES), chosen);
              Click(page.Control(IDCANCEL));  // 戻る
            })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { PressKey(page, WXK_RETURN); })
      .Then(IDD_CONFIRM, [&](gui::PageDialog& page) { PressKey(page, WXK_ESCAPE); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { PressKey(page, WXK_ESCAPE); });
  RunWizard(script);
  EXPECT_FALSE(chosen.empty());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(WizardFlowTest, CancelOnTheNotesPageEndsTheProgram) {
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDCANCEL)); });
  RunWizard(script);
}

TEST_F(WizardFlowTest, EscOnTheNotesPageEndsTheProgram) {
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { PressKey(page, WXK_ESCAPE); });
  RunWizard(script);
}

TEST_F(WizardFlowTest, UpdateFromTheConfirmPageAppliesTheSampleUpdate) {
  const std::string before = sample.ProductFile("VELSOR/velsor1.ini");
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_CONFIRM, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); });  // 更新
  RunWizard(script);
  ASSERT_FALSE(boxes.Boxes().empty());
  EXPECT_EQ(boxes.Transcript().back(), "確認: システムは正常に更新されました。 [OK]");
  EXPECT_NE(sample.ProductFile("VELSOR/velsor1.ini"), before);
}

class WizardWithoutInfoFileTest : public WizardFlowTest {
 protected:
  WizardWithoutInfoFileTest() : WizardFlowTest(false) {}
};

TEST_F(WizardWithoutInfoFileTest, TitleIsEmptyAndPagesOpenEmpty) {
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) {
    EXPECT_EQ(FrameTitle(), "");
    EXPECT_EQ(page.GetDlgItemText(IDC_NOTES), "");
    Click(page.Control(IDCANCEL));
  });
  RunWizard(script);
}

}  // namespace
}  // namespace tovrin
