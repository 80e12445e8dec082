// The wizard controller's state machine, run through its message queue with
// the scripted dialog host, a real medium and a real product folder.

#include <gtest/gtest.h>

#include <sstream>

#include "archive/lzh_archive_library.hpp"
#include "platform/program_directory.hpp"
#include "resources/resource_ids.hpp"
#include "tests/support/scripted_dialog_host.hpp"
#include "tests/wizard/wizard_world.hpp"
#include "wizard/tovrin_view.hpp"

namespace tovrin::testing {
namespace {

// The main frame as the wizard sees it: it takes WM_CLOSE and its title
// command, noting whether a page was open when the title came.
class RecordingFrame : public MessageTarget {
 public:
  RecordingFrame(MessageQueue& queue, const ScriptedDialogHost& host)
      : queue_(queue),
        host_(host) {}
  void OnMessage(unsigned message, int wParam) override {
    if (message == WM_CLOSE) {
      ++closes;
      queue_.PostQuitMessage();
    }
    if (message == WM_COMMAND && wParam == ID_SET_TITLE) pagesOpenAtTitle = host_.PagesOpen();
  }
  int closes = 0;
  int pagesOpenAtTitle = -1;

 private:
  MessageQueue& queue_;
  const ScriptedDialogHost& host_;
};

// info.txt: the 42 fixed lines (only those given are filled), no records.
std::string InfoText(const std::map<int, std::string>& lines) {
  std::string text;
  for (int number = 1; number <= 42; ++number) {
    const auto line = lines.find(number);
    text += (line == lines.end() ? std::string() : Sjis(line->second.c_str())) + "\r\n";
  }
  return text;
}

class WizardViewTest : public ::testing::Test {
 protected:
  WizardViewTest()
      : host(&queue),
        frame(queue, host),
        view(world.Platform(), archives, host, queue, frame) {
    world.Platform().mediumFolder = "D:\\MEDIUM\\";
    world.File('D', "MEDIUM/info.txt",
               InfoText({{16, "C:\\PROG"},
                         {18, "0"},
                         {19, "velsor1.ini"},
                         {26, "注意"},
                         {27, "説明"},
                         {28, "設備"}}));
    world.File('C', "PROG/velsor1.ini", Sjis("[SYSTEM]\r\nTITLE=ベルソール設備 8.0S\r\n"));
    world.File('C', "PROG/ve2menu.ini");
    world.File('C', "PROG/bmp/LAYER2L.BMP");
    world.Folder('C', "EMPTY");
  }

  // Creates the view as the frame does, then runs the message loop.
  void Run() {
    view.OnCreate();
    queue.PostMessage(frame, WM_COMMAND, ID_SET_TITLE);
    queue.Run();
    EXPECT_EQ(host.UnusedSteps(), 0u);
  }

  std::vector<std::string> Boxes() { return world.Ui().Transcript(); }

  WizardWorld world;
  LzhArchiveLibrary archives{world.Files()};
  MessageQueue queue;
  ScriptedDialogHost host;
  RecordingFrame frame;
  CTovrinView view;
};

TEST_F(WizardViewTest, TheFirstPageOpensFromTheLoopBeforeTheFramesTitle) {
  view.OnCreate();
  EXPECT_TRUE(host.Visits().empty());
  host.Then(Press(IDCANCEL));
  queue.PostMessage(frame, WM_COMMAND, ID_SET_TITLE);
  queue.Run();
  EXPECT_EQ(frame.pagesOpenAtTitle, 1);  // the notes page's loop dispatched it
  EXPECT_EQ(host.OpenedTemplates(), std::vector<int>{IDD_NOTICE});
  EXPECT_EQ(frame.closes, 1);
}

TEST_F(WizardViewTest, NotesPageAnythingButStartEndsTheProgram) {
  const std::vector<PageScript> endings = {Press(IDCANCEL),
                                           [](PageDriver& driver) { driver.PressEsc(); }};
  for (const PageScript& ending : endings) {
    host.Then(ending);
    view.OnCreate();
    queue.Run();
  }
  host.ThenFailToOpen();
  view.OnCreate();
  queue.Run();
  EXPECT_EQ(frame.closes, 3);
  EXPECT_EQ(view.LastOutcome(), UpdateOutcome::NotRun);
}

TEST_F(WizardViewTest, AcceptingEveryPageAppliesTheUpdateAndCloses) {
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_NOTES), Sjis("注意"));
    driver.Click(IDOK);
  });
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_PATH), "C:\\PROG");
    EXPECT_EQ(driver.Text(IDC_NOTES), Sjis("説明"));
    driver.Click(IDOK);
  });
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_NOTES), "C:\\PROG");
    driver.Click(IDOK);
  });
  Run();
  EXPECT_EQ(host.OpenedTemplates(), (std::vector<int>{IDD_NOTICE, IDD_DESTINATION, IDD_CONFIRM}));
  EXPECT_EQ(frame.closes, 1);
  EXPECT_EQ(view.LastOutcome(), UpdateOutcome::Applied);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"確認: システムは正常に更新されました。 [OK]"});
  EXPECT_EQ(view.m_nProductNo, 1);
}

TEST_F(WizardViewTest, BackFromTheDestinationReopensTheNotesWithTheSameTexts) {
  host.Then(Press(IDOK));
  host.Then([](PageDriver& driver) {
    driver.Type(IDC_PATH, "C:\\TYPED");
    driver.Click(IDC_BACK);
  });
  host.Then(Press(IDOK));
  host.Then([](PageDriver& driver) {
    // Back does not keep what was typed: the page gets line 16 again.
    EXPECT_EQ(driver.Text(IDC_PATH), "C:\\PROG");
    driver.PressEsc();
  });
  Run();
  EXPECT_EQ(host.OpenedTemplates(),
            (std::vector<int>{IDD_NOTICE, IDD_DESTINATION, IDD_NOTICE, IDD_DESTINATION}));
  EXPECT_EQ(host.Visits()[0].texts, host.Visits()[2].texts);
  EXPECT_EQ(view.Description().m_strDestination, "C:\\PROG");
  // Esc on the destination page ends the program as "取消" does.
  EXPECT_EQ(frame.closes, 1);
}

TEST_F(WizardViewTest, BackFromTheConfirmPageReopensTheDestinationWithTheConfirmedFolder) {
  host.Then(Press(IDOK));
  host.Then([](PageDriver& driver) {
    driver.Type(IDC_PATH, "C:\\OTHER");
    driver.Click(IDOK);
  });
  host.Then(Press(IDCANCEL));
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_PATH), "C:\\OTHER");
    driver.PressEsc();
  });
  Run();
  EXPECT_EQ(host.OpenedTemplates(),
            (std::vector<int>{IDD_NOTICE, IDD_DESTINATION, IDD_CONFIRM, IDD_DESTINATION}));
  EXPECT_EQ(view.Description().m_strDestination, "C:\\OTHER");
  EXPECT_EQ(view.LastOutcome(), UpdateOutcome::NotRun);
}

TEST_F(WizardViewTest, ARefusedFolderReopensTheDestinationWithThatFolder) {
  host.Then(Press(IDOK));
  host.Then([](PageDriver& driver) {
    driver.Type(IDC_PATH, "C:\\EMPTY");
    driver.Click(IDOK);
  });
  host.Then(Press(IDOK));
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_PATH), "C:\\EMPTY");
    driver.Type(IDC_PATH, "C:\\PROG");
    driver.Click(IDOK);
  });
  host.Then(Press(IDOK));
  Run();
  EXPECT_EQ(host.OpenedTemplates(), (std::vector<int>{IDD_NOTICE, IDD_DESTINATION, IDD_CONFIRM,
                                                      IDD_DESTINATION, IDD_CONFIRM}));
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{"エラー: ｲﾝｽﾄｰﾙ先ﾌｫﾙﾀﾞが正しくないと思われます。 [OK]",
                                      "確認: システムは正常に更新されました。 [OK]"}));
  EXPECT_EQ(view.LastOutcome(), UpdateOutcome::Applied);
  EXPECT_EQ(frame.closes, 1);
}

TEST_F(WizardViewTest, AConfirmPageThatCannotOpenEndsTheProgram) {
  host.Then(Press(IDOK));
  host.Then(Press(IDOK));
  host.ThenFailToOpen();
  Run();
  EXPECT_EQ(frame.closes, 1);
  EXPECT_EQ(view.LastOutcome(), UpdateOutcome::NotRun);
}

TEST_F(WizardViewTest, WithoutInfoTxtThePagesOpenEmpty) {
  std::filesystem::remove(world.Drive('D') / "MEDIUM" / "info.txt");
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_NOTES), "");
    driver.Click(IDOK);
  });
  host.Then([](PageDriver& driver) {
    EXPECT_EQ(driver.Text(IDC_PATH), "");
    driver.PressEsc();
  });
  Run();
  EXPECT_EQ(host.Visits().at(0).title, Sjis("アップデート"));
  EXPECT_EQ(frame.closes, 1);
}

}  // namespace
}  // namespace tovrin::testing
