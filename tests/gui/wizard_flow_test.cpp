// The wizard as the user meets it: the main window with its title, and the
// pages one after the other as the buttons, Enter and Esc lead, pressed
// through real pointer and keyboard input.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "app/main_frame.hpp"
#include "platform/cp932.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "hosts/wx/page_controls.hpp"
#include "resources/resource_ids.hpp"
#include "tests/gui/modal_script.hpp"
#include "tests/gui/sample_installation.hpp"
#include "tests/gui/x_input.hpp"
#include "tests/support/scripted_user_interface.hpp"
#include "wizard/typed_destination.hpp"

namespace tovrin {
namespace {

using testing::Click;
using testing::ClickAt;
using testing::EntryPoint;
using testing::ModalScript;
using testing::PressKeys;
using testing::TypeText;

// Runs the page's events until `done` holds; false after a few seconds.
bool WaitFor(const std::function<bool()>& done) { return testing::RunEventsUntil(done, 5); }

// The page has the keyboard focus, above the main window.
void ExpectFocusOn(gui::PageDialog& page, int controlId) {
  EXPECT_TRUE(testing::HasTheFocus(&page));
  EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == page.Control(controlId); }))
      << "focus on control " << controlId;
}

class WizardFlowTest : public ::testing::Test {
 protected:
  explicit WizardFlowTest(bool withInfoFile = true) : sample(withInfoFile) {}

  // Opens the main window and runs the wizard with `script` on its pages
  // until the frame has closed.
  void RunWizard(ModalScript& script) {
    script.Run([&] {
      frame = new CMainFrame(platform, sample.archives(), *pages, queue);
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
  Platform platform{sample.files(), sample.registry(), boxes, sample.mediumFolder()};
  MessageQueue queue;
  gui::WxDialogHost host{&queue};
  DialogHost* pages = &host;  // the host, or a host over it
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
              EXPECT_TRUE(frame->IsMaximized() ||
                          frame->GetSize() == wxGetClientDisplayRect().GetSize());
              // A normal window: the window manager draws its caption above
              // the client area.
              EXPECT_TRUE(frame->HasFlag(wxCAPTION) && frame->HasFlag(wxSYSTEM_MENU) &&
                          frame->HasFlag(wxMAXIMIZE_BOX) && frame->HasFlag(wxMINIMIZE_BOX));
              EXPECT_GT(frame->GetClientAreaOrigin().y + frame->ClientToScreen(wxPoint()).y,
                        frame->GetScreenPosition().y);
              EXPECT_EQ(frame->GetMenuBar(), nullptr);
              EXPECT_EQ(frame->GetToolBar(), nullptr);
              EXPECT_EQ(frame->GetStatusBar(), nullptr);
              EXPECT_EQ(frame->ViewWindowOf()->GetSize(), frame->GetClientSize());
              testing::SaveScreenshot(frame, "main_window");
              Click(page.Control(IDOK));  // 開始
            })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDC_BACK)); })  // 戻る
      .Then(IDD_NOTICE, [&](gui::PageDialog&) { PressKeys("Return"); })
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
      .Then(IDD_DESTINATION, [&](gui::PageDialog&) { PressKeys("Return"); })
      .Then(IDD_CONFIRM, [&](gui::PageDialog&) { PressKeys("Escape"); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog&) { PressKeys("Escape"); });
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
  script.Then(IDD_NOTICE, [&](gui::PageDialog&) { PressKeys("Escape"); });
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

TEST_F(WizardFlowTest, PagesOpenAboveTheMainWindowWithTheDefaultButtonFocused) {
  ModalScript script;
  script
      .Then(IDD_NOTICE,
            [&](gui::PageDialog& page) {
              ExpectFocusOn(page, IDOK);
              PressKeys("Return");
            })
      .Then(IDD_DESTINATION,
            [&](gui::PageDialog& page) {
              ExpectFocusOn(page, IDOK);
              PressKeys("Return");
            })
      .Then(IDD_CONFIRM,
            [&](gui::PageDialog& page) {
              ExpectFocusOn(page, IDOK);
              PressKeys("Escape");
            })
      .Then(IDD_DESTINATION, [&](gui::PageDialog&) { PressKeys("Escape"); });
  RunWizard(script);
}

TEST_F(WizardFlowTest, AClickOnAFolderEntersThatFolderAndNothingElse) {
  const auto path = [](gui::PageDialog& page) { return page.GetDlgItemText(IDC_PATH); };
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        ClickAt(EntryPoint(page.Control(IDC_DRIVE_LIST), 0));  // [-c-]
        ASSERT_TRUE(WaitFor([&] { return path(page) == "c:\\"; })) << path(page);
        ClickAt(EntryPoint(page.Control(IDC_FOLDER_LIST), 1));  // [VELSOR]
        EXPECT_TRUE(WaitFor([&] { return path(page) == "C:\\VELSOR"; })) << path(page);
        // Below the entries: nothing picked.
        const wxRect list = page.Control(IDC_FOLDER_LIST)->GetScreenRect();
        ClickAt({list.GetLeft() + list.GetWidth() / 2, list.GetBottom() - 6});
        EXPECT_FALSE(WaitFor([&] { return path(page) != "C:\\VELSOR"; })) << path(page);
        // Typed into the field, then a click on [MST1].
        Click(page.Control(IDC_PATH));
        TypeText("x");
        ClickAt(EntryPoint(page.Control(IDC_FOLDER_LIST), 2));
        EXPECT_TRUE(WaitFor([&] { return path(page) == "C:\\VELSOR\\MST1"; })) << path(page);
        PressKeys("Escape");
      });
  RunWizard(script);
}

TEST_F(WizardFlowTest, TabFollowsTheTemplateAndArrowsMoveTheHighlight) {
  const auto path = [](gui::PageDialog& page) { return page.GetDlgItemText(IDC_PATH); };
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        const std::string proposed = path(page);
        ExpectFocusOn(page, IDOK);
        PressKeys("Tab");
        ExpectFocusOn(page, IDC_PATH);
        PressKeys("Tab");
        ExpectFocusOn(page, IDC_BACK);
        EXPECT_EQ(path(page), proposed);
        // In the folder list, arrows move the highlight; Enter enters.
        ClickAt(EntryPoint(page.Control(IDC_DRIVE_LIST), 0));
        ASSERT_TRUE(WaitFor([&] { return path(page) == "c:\\"; })) << path(page);
        ClickAt(EntryPoint(page.Control(IDC_FOLDER_LIST), 1));  // [VELSOR]
        ASSERT_TRUE(WaitFor([&] { return path(page) == "C:\\VELSOR"; })) << path(page);
        PressKeys("Down Down Down");
        EXPECT_FALSE(WaitFor([&] { return path(page) != "C:\\VELSOR"; })) << path(page);
        PressKeys("Return");
        EXPECT_TRUE(WaitFor([&] { return path(page) == "C:\\VELSOR\\MST21"; })) << path(page);
        PressKeys("Escape");
      });
  RunWizard(script);
}

TEST_F(WizardFlowTest, ATypedCharacterWithoutCp932FormKeepsTheUserOnThePage) {
  gui::PageDialog* destination = nullptr;
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION,
            [&](gui::PageDialog& page) {
              destination = &page;
              Click(page.Control(IDC_PATH));
              PressKeys("ctrl+a");
              TypeText("C:\\M");
              PressKeys("ctrl+shift+u f c space");  // GTK's Unicode entry: ü
              TypeText("ller");
              auto* field = dynamic_cast<wxTextCtrl*>(page.Control(IDC_PATH));
              ASSERT_TRUE(WaitFor([&] {
                return field->GetValue() == wxString::FromUTF8("C:\\Müller");
              })) << field->GetValue().utf8_str();
              Click(page.Control(IDOK));
            })
      .ThenBox([&](gui::MessageBoxDialog& box) {
        EXPECT_EQ(box.GetTitle(), wxString::FromUTF8("エラー"));
        PressKeys("Return");
        script.Revisit(*destination);
      })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        ExpectFocusOn(page, IDC_PATH);
        PressKeys("Escape");
      });
  RunWizard(script);
}

TEST_F(WizardFlowTest, TheCommandLinesDestinationStandsInThePathField) {
  TypedDestinationDialogs typed(host, "D:\\TYPED");
  pages = &typed;
  std::string shown;
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        shown = page.GetDlgItemText(IDC_PATH);
        PressKeys("Escape");
      });
  RunWizard(script);
  EXPECT_EQ(shown, "D:\\TYPED");
}

TEST_F(WizardFlowTest, EnterInAListEntersTheHighlightedEntryAndNothingElse) {
  const auto path = [](gui::PageDialog& page) { return page.GetDlgItemText(IDC_PATH); };
  struct Case {
    int list;
    wxString entry;
    std::string enteredPath;
  };
  const Case cases[] = {{IDC_FOLDER_LIST, "[VELSOR]", "C:\\VELSOR"},
                        {IDC_DRIVE_LIST, "[-d-]", "d:\\"}};
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        ClickAt(EntryPoint(page.Control(IDC_DRIVE_LIST), 0));  // [-c-]
        ASSERT_TRUE(WaitFor([&] { return path(page) == "c:\\"; })) << path(page);
        for (const Case& c : cases) {
          auto* list = static_cast<wxListBox*>(page.Control(c.list));
          const auto highlighted = [&] {
            const int at = list->GetSelection();
            return at == wxNOT_FOUND ? wxString() : list->GetString(at);
          };
          // Into the list without picking: a click below its entries.
          const wxRect place = list->GetScreenRect();
          ClickAt({place.GetLeft() + place.GetWidth() / 2, place.GetBottom() - 6});
          for (int down = 0; down < 6 && highlighted() != c.entry; ++down) {
            PressKeys("Down");
            testing::RunEventsUntil([] { return false; }, 1);
          }
          ASSERT_EQ(highlighted(), c.entry);
          PressKeys("Return");
          EXPECT_TRUE(WaitFor([&] { return path(page) == c.enteredPath; })) << path(page);
          // And nothing more: the page stays, no other opens.
          EXPECT_FALSE(testing::RunEventsUntil([&] { return !page.IsModal(); }, 2)) << c.entry;
        }
        PressKeys("Escape");
      });
  RunWizard(script);
  EXPECT_EQ(script.Seen(), (std::vector<int>{IDD_NOTICE, IDD_DESTINATION}));
}

TEST_F(WizardFlowTest, ALongPathOnTheConfirmPageIsShortenedInItsMiddleAndWholeInItsTooltip) {
  std::string longPath = "C:\\VELSOR";
  while (longPath.size() < 346) longPath += cp932::Text("\\工事データ") + "\\Folder";
  longPath += "\\LAST";
  TypedDestinationDialogs typed(host, longPath);
  pages = &typed;
  const auto destination = [](gui::PageDialog& page) {
    return static_cast<gui::StaticText*>(page.Control(IDC_NOTES));
  };
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_CONFIRM,
            [&](gui::PageDialog& page) {
              const wxString whole = gui::ToWx(longPath);
              const wxString shown = destination(page)->ShownText();
              EXPECT_NE(shown.Find("..."), wxNOT_FOUND) << shown.utf8_str();
              EXPECT_TRUE(shown.StartsWith("C:\\VELSOR\\")) << shown.utf8_str();
              EXPECT_TRUE(shown.EndsWith("\\LAST")) << shown.utf8_str();
              EXPECT_LE(page.GetTextExtent(shown).x, destination(page)->GetClientSize().x);
              EXPECT_EQ(destination(page)->GetToolTipText(), whole);
              EXPECT_EQ(page.GetDlgItemText(IDC_NOTES), longPath);
              Click(page.Control(IDCANCEL));  // 戻る
            })
      .Then(IDD_DESTINATION,
            [&](gui::PageDialog& page) {
              Click(page.Control(IDC_PATH));
              PressKeys("ctrl+a");
              TypeText("C:\\VELSOR");
              Click(page.Control(IDOK));
            })
      .Then(IDD_CONFIRM,
            [&](gui::PageDialog& page) {
              // A path that fits is shown whole, with no tooltip.
              EXPECT_EQ(destination(page)->ShownText(), "C:\\VELSOR");
              EXPECT_EQ(destination(page)->GetToolTipText(), "");
              PressKeys("Escape");
            })
      .Then(IDD_DESTINATION, [&](gui::PageDialog&) { PressKeys("Escape"); });
  RunWizard(script);
}

// The width GTK gave a widget.
int AllocatedWidth(void* widget) {
  using Width = int (*)(void*);
  static const auto width =
      reinterpret_cast<Width>(::dlsym(RTLD_DEFAULT, "gtk_widget_get_allocated_width"));
  return width != nullptr ? width(widget) : -1;
}

TEST_F(WizardFlowTest, TheListsKeepTheirScrollBarsInSight) {
  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) {
        ClickAt(EntryPoint(page.Control(IDC_DRIVE_LIST), 0));  // [-c-]
        // The pointer away from the lists, on the path field.
        Click(page.Control(IDC_PATH));
        testing::RunEventsUntil([] { return false; }, 1);
        for (const int id : {IDC_DRIVE_LIST, IDC_FOLDER_LIST}) {
          auto* list = static_cast<wxListBox*>(page.Control(id));
          // The entries give up the scroll bar's width to it, beside them
          // rather than under it.
          EXPECT_GE(AllocatedWidth(list->GetHandle()) - AllocatedWidth(list->m_treeview), 8)
              << "list " << id << ": " << AllocatedWidth(list->GetHandle()) << " and "
              << AllocatedWidth(list->m_treeview);
        }
        PressKeys("Escape");
      });
  RunWizard(script);
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
