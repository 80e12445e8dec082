// The wizard while its update runs on the worker thread, watched from the
// user-interface thread during a run slowed by its archives: the window
// repaints, takes no input and shows the busy cursor; the progress window
// appears, and is gone when the run's closing box shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <chrono>
#include <set>
#include <thread>
#include <utility>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "app/main_frame.hpp"
#include "app/progress_window.hpp"
#include "app/worker_run_host.hpp"
#include "archive/lzh_archive_library.hpp"
#include "engine/observed_file_system.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/user_interface.hpp"
#include "resources/resource_ids.hpp"
#include "tests/gui/modal_script.hpp"
#include "tests/gui/x_input.hpp"
#include "tests/gui/sample_installation.hpp"
#include "tests/x_display/screen_cursor.hpp"
#include "tests/support/scripted_user_interface.hpp"

namespace tovrin {
namespace {

using testing::Click;
using testing::ModalScript;

// Each archive takes long enough for the run to be watched.
class SlowArchives : public ArchiveLibrary {
 public:
  explicit SlowArchives(ArchiveLibrary& real) : real_(real) {}
  int SetBackgroundMode(int mode) override { return real_.SetBackgroundMode(mode); }
  int SetCursorMode(int mode) override { return real_.SetCursorMode(mode); }
  int Command(WindowHandle owner, const std::string& commandLine, char* output,
              DWORD size) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    return real_.Command(owner, commandLine, output, size);
  }

 private:
  ArchiveLibrary& real_;
};

// The run's progress window, while the run lasts (it is destroyed at the end,
// and deleted once the loop is idle).
ProgressWindow* FindProgressWindow() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* progress = dynamic_cast<ProgressWindow*>(window);
    if (progress != nullptr && !wxPendingDelete.Member(progress)) return progress;
  }
  return nullptr;
}

// Notes at each box whether the progress window was on screen.
class BoxWatch : public UserInterface {
 public:
  explicit BoxWatch(UserInterface& boxes) : boxes_(boxes) {}
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                 unsigned type) override {
    const ProgressWindow* progress = FindProgressWindow();
    progressShownAtBox.push_back(progress != nullptr && progress->IsShown());
    return boxes_.MessageBox(owner, text, caption, type);
  }
  void BeginWaitCursor() override { boxes_.BeginWaitCursor(); }
  void EndWaitCursor() override { boxes_.EndWaitCursor(); }
  std::vector<bool> progressShownAtBox;

 private:
  UserInterface& boxes_;
};

class Sampler : public wxTimer {
 public:
  explicit Sampler(std::function<void()> sample) : sample_(std::move(sample)) { Start(50); }
  void Notify() override { sample_(); }

 private:
  std::function<void()> sample_;
};

// What the user-interface thread saw while the run went on.
struct Watched {
  int samples = 0;
  bool frameEverEnabled = false;
  bool progressShown = false;
  std::vector<testing::CursorLook> cursors;
  int paintsAsked = 0;
  int paints = 0;
  int clicksReceived = 0;
  bool clicked = false;
  // The confirm page on screen, and the part of its place that the
  // progress window leaves free, during the run.
  wxRect confirmPage;
  wxImage confirmPageShown;
  wxImage whereConfirmPageWas;
  wxImage thereBefore;
  // The records the progress window named, and the bar's last position.
  std::set<wxString> recordsShown;
  int barShown = 0;
  std::string screenshot;
};

bool SameImage(const wxImage& a, const wxImage& b) {
  return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
         std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

// What the screen shows over a window with the busy cursor, and with its
// own.
std::pair<testing::CursorLook, testing::CursorLook> BusyAndNormalCursors() {
  auto* window = new wxFrame(nullptr, wxID_ANY, "cursor", wxPoint(0, 0), wxSize(200, 200));
  window->Show();
  wxUIActionSimulator input;
  input.MouseMove(100, 100);
  const auto shown = [&](const wxCursor& cursor) {
    window->SetCursor(cursor);
    testing::RunEventsUntil([] { return false; }, 1);
    return testing::ScreenCursor();
  };
  const auto busy = shown(*wxHOURGLASS_CURSOR);
  const auto normal = shown(wxNullCursor);
  window->Destroy();
  return {busy, normal};
}

TEST(UpdateRunThread, WindowStaysAliveAndTakesNoInputWhileTheRunGoesOn) {
  const auto [busyCursor, normalCursor] = BusyAndNormalCursors();
  testing::SampleInstallation sample;
  // As the program writes: the run and its archive library through the
  // observed file system, which tells the bytes written.
  ObservedFileSystem files(sample.files());
  LzhArchiveLibrary library(files);
  SlowArchives archives(library);
  testing::ScriptedUserInterface boxes;
  BoxWatch watch(boxes);
  Platform platform{files, sample.registry(), watch, sample.mediumFolder()};
  MessageQueue queue;
  gui::WxDialogHost host{&queue};

  CMainFrame* frame = nullptr;
  Watched seen;
  const auto takeSample = [&] {
    if (frame == nullptr || FindProgressWindow() == nullptr) return;
    ++seen.samples;
    seen.frameEverEnabled |= frame->IsEnabled();
    seen.progressShown |= FindProgressWindow()->IsShownOnScreen();
    wxWindow* view = frame->ViewWindowOf();
    if (seen.samples == 2) {
      // A corner of the main window, away from the progress window.
      wxUIActionSimulator input;
      const wxRect place = view->GetScreenRect();
      input.MouseMove(place.GetLeft() + 20, place.GetTop() + 20);
      input.MouseClick();
      seen.clicked = true;
      seen.paintsAsked = seen.paints;
      view->Refresh();
    }
    if (seen.samples > 4) seen.cursors.push_back(testing::ScreenCursor());
    ProgressWindow* progress = FindProgressWindow();
    if (progress->IsShownOnScreen()) {
      const wxString record = progress->Control(IDC_PROGRESS_SOURCE)->GetLabel();
      seen.recordsShown.insert(record);
      seen.barShown = static_cast<wxGauge*>(progress->Control(IDC_PROGRESS_BAR))->GetValue();
      if (record == "HELP" && seen.screenshot.empty())
        seen.screenshot = testing::SaveScreenshot(progress, "progress_window");
    }
    if (seen.samples == 10 && progress->IsShownOnScreen()) {
      // Left of the progress window.
      wxRect strip = seen.confirmPage;
      strip.SetWidth(progress->GetScreenRect().GetLeft() - strip.GetLeft());
      seen.whereConfirmPageWas = testing::CaptureScreen(strip);
      seen.thereBefore = seen.confirmPageShown.GetSubImage({{0, 0}, strip.GetSize()});
    }
  };

  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_CONFIRM, [&](gui::PageDialog& page) {
        seen.confirmPage = page.GetScreenRect();
        seen.confirmPageShown = testing::CaptureScreen(seen.confirmPage);
        Click(page.Control(IDOK));  // 更新
      });
  script.Run([&] {
    frame = new CMainFrame(platform, archives, host, queue);
    WorkerRunHost runHost(*frame);
    frame->View().SetRunHost(runHost);
    frame->View().ObserveRunsThrough(files);
    frame->ViewWindowOf()->Bind(wxEVT_PAINT, [&](wxPaintEvent& event) {
      ++seen.paints;
      event.Skip();
    });
    frame->ViewWindowOf()->Bind(wxEVT_LEFT_DOWN, [&](wxMouseEvent&) { ++seen.clicksReceived; });
    frame->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
      if (event.GetEventObject() == frame) frame = nullptr;
      event.Skip();
    });
    frame->Show();
    Sampler sampler(takeSample);
    EXPECT_TRUE(testing::RunEventsUntil([&] { return frame == nullptr; }));
  });
  if (frame != nullptr) frame->Destroy();

  EXPECT_EQ(script.Failures(), std::vector<std::string>{});
  ASSERT_FALSE(boxes.Boxes().empty());
  EXPECT_EQ(boxes.Transcript().back(), "確認: システムは正常に更新されました。 [OK]");
  // Watched while the run went on, so the window's loop was alive.
  EXPECT_GT(seen.samples, 10);
  EXPECT_FALSE(seen.frameEverEnabled);
  EXPECT_TRUE(seen.clicked);
  EXPECT_EQ(seen.clicksReceived, 0);
  EXPECT_GT(seen.paints, seen.paintsAsked);
  ASSERT_FALSE(seen.cursors.empty());
  EXPECT_FALSE(busyCursor == normalCursor) << testing::Describe(busyCursor);
  for (const auto& cursor : seen.cursors)
    EXPECT_TRUE(cursor == busyCursor)
        << testing::Describe(cursor) << " instead of " << testing::Describe(busyCursor);
  // The closed page is painted over, not left standing.
  ASSERT_TRUE(seen.confirmPageShown.IsOk());
  EXPECT_TRUE(seen.whereConfirmPageWas.IsOk());
  EXPECT_FALSE(SameImage(seen.thereBefore, seen.whereConfirmPageWas));
  EXPECT_TRUE(seen.progressShown);
  // The slow records were named while they ran, and the bar moved.
  EXPECT_TRUE(seen.recordsShown.contains("HELP") && seen.recordsShown.contains("BMPUPD"));
  EXPECT_GT(seen.barShown, 0);
  EXPECT_FALSE(seen.screenshot.empty());
  EXPECT_EQ(watch.progressShownAtBox, std::vector<bool>{false});
}

// With real boxes: a disk prompt while the progress window is up, from a
// removable medium whose disk 2 never comes.
TEST(UpdateRunThread, ADiskPromptOpensAboveTheProgressWindowWhichSaysWhatItWaitsFor) {
  testing::SampleInstallation sample(true, DRIVE_REMOVABLE);
  // Unsigned: a signed disk missing a listed file is refused before its prompt.
  for (const char* file : {"BMPUPD.lzh", "SHA256SUMS", "SHA256SUMS.minisig"}) {
    std::filesystem::remove(sample.Medium() / file);
  }
  ObservedFileSystem files(sample.files());
  LzhArchiveLibrary archives(files);
  gui::WxUserInterface ui;
  Platform platform{files, sample.registry(), ui, sample.mediumFolder()};
  MessageQueue queue;
  gui::WxDialogHost host{&queue};
  CMainFrame* frame = nullptr;
  const wxString prompt = wxString::FromUTF8("2 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。");

  ModalScript script;
  script.Then(IDD_NOTICE, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_DESTINATION, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .Then(IDD_CONFIRM, [&](gui::PageDialog& page) { Click(page.Control(IDOK)); })
      .ThenBox([&](gui::MessageBoxDialog& box) {
        // Long enough for a window shown late to come up over the prompt.
        testing::RunEventsUntil([] { return false; }, 1);
        ProgressWindow* progress = FindProgressWindow();
        ASSERT_NE(progress, nullptr);
        wxString text;
        for (wxWindow* child : box.GetChildren()) text += child->GetLabel() + " ";
        ASSERT_EQ(box.GetTitle(), wxString::FromUTF8("確認")) << text.utf8_str();
        EXPECT_TRUE(progress->IsShownOnScreen());
        EXPECT_TRUE(testing::StackedAbove(&box, progress));
        EXPECT_TRUE(testing::HasTheFocus(&box));
        const wxRect boxPlace = box.GetScreenRect();
        const wxRect progressPlace = progress->GetScreenRect();
        EXPECT_FALSE(boxPlace.Intersects(progressPlace))
            << boxPlace.x << "," << boxPlace.y << " " << boxPlace.width << "x" << boxPlace.height
            << " over " << progressPlace.x << "," << progressPlace.y << " " << progressPlace.width
            << "x" << progressPlace.height;
        EXPECT_EQ(progress->Control(IDC_PROGRESS_STATE)->GetLabel(), prompt);
        // Records 4 and 5 are still to come.
        EXPECT_LT(static_cast<wxGauge*>(progress->Control(IDC_PROGRESS_BAR))->GetValue(), 1000);
        EXPECT_EQ(progress->Control(IDC_PROGRESS_FOLDER)->GetLabel().Find("\\\\"), wxNOT_FOUND)
            << progress->Control(IDC_PROGRESS_FOLDER)->GetLabel().utf8_str();
        ASSERT_NE(box.CancelButton(), nullptr);
        Click(box.CancelButton());  // the pointer reaches it
      })
      .ThenBox([&](gui::MessageBoxDialog&) { testing::PressKeys("Return"); })   // cancelled
      .ThenBox([&](gui::MessageBoxDialog&) { testing::PressKeys("Return"); });  // put back
  script.Run([&] {
    frame = new CMainFrame(platform, archives, host, queue);
    ui.SetOwnerWindow(&frame->View(), frame);
    WorkerRunHost runHost(*frame);
    frame->View().SetRunHost(runHost);
    frame->View().ObserveRunsThrough(files);
    frame->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
      if (event.GetEventObject() == frame) frame = nullptr;
      event.Skip();
    });
    frame->Show();
    EXPECT_TRUE(testing::RunEventsUntil([&] { return frame == nullptr; }));
  });
  if (frame != nullptr) frame->Destroy();
  EXPECT_EQ(script.Failures(), std::vector<std::string>{});
  EXPECT_TRUE(script.AllStepsDone());
  EXPECT_EQ(frame, nullptr);
}

}  // namespace
}  // namespace tovrin
