// The progress window fed from another thread, as the worker feeds it: the
// record's source and target folder, and the bar over the bytes of all
// records.

#include <gtest/gtest.h>

#include <thread>

#include <wx/frame.h>
#include <wx/gauge.h>

#include "app/progress_window.hpp"
#include "platform/cp932.hpp"
#include "hosts/wx/gui_text.hpp"
#include "resources/resource_ids.hpp"
#include "tests/gui/modal_script.hpp"

namespace tovrin {
namespace {

TEST(ProgressWindow, ShowsTheRecordAndTheBytesTheWorkerReports) {
  auto* mainWindow = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(0, 0), wxSize(900, 700));
  mainWindow->Show();
  auto* window = new ProgressWindow(mainWindow);
  const auto label = [&](int id) { return window->Control(id)->GetLabel(); };
  const auto bar = [&] {
    return static_cast<wxGauge*>(window->Control(IDC_PROGRESS_BAR))->GetValue();
  };
  std::thread([&] {
    // A folder whose name has 0x5C as a second byte.
    // Three of five records planned: the other two, on a disk still to
    // come, count as large as the average of these.
    window->Listener().BytesPlanned(3000, 3);
    window->Listener().RecordStarted(2, 5, "HELP", cp932::Text("C:\\ソフト\\help\\"));
    window->Listener().BytesWritten(1000);
    window->Listener().BytesWritten(500);
  }).join();
  ASSERT_TRUE(testing::RunEventsUntil(
      [&] { return window->IsShownOnScreen() && label(IDC_PROGRESS_SOURCE) == "HELP"; }, 5));
  EXPECT_EQ(label(IDC_PROGRESS_FOLDER), wxString::FromUTF8("C:\\ソフト\\help\\"));
  EXPECT_EQ(bar(), 300);
  // No close box, and closing is refused.
  EXPECT_FALSE(window->HasFlag(wxCLOSE_BOX) || window->HasFlag(wxSYSTEM_MENU));
  window->Close();
  EXPECT_TRUE(window->IsShown());
  EXPECT_TRUE(mainWindow->GetScreenRect().Contains(window->GetScreenRect()));

  // A disk that brings more records plans more; more than was planned
  // fills the bar, and no more.
  std::thread([&] { window->Listener().BytesPlanned(1000, 2); }).join();
  EXPECT_TRUE(testing::RunEventsUntil([&] { return bar() == 375; }, 5)) << bar();
  std::thread([&] { window->Listener().BytesWritten(9000); }).join();
  EXPECT_TRUE(testing::RunEventsUntil([&] { return bar() == 1000; }, 5)) << bar();

  window->PutAway();
  std::thread([&] {
    window->Listener().RecordStarted(3, 5, "BMPUPD", "C:\\VELSOR\\bmp\\");
  }).join();
  testing::RunEventsUntil([] { return false; }, 1);
  EXPECT_FALSE(window->IsShown());
  EXPECT_EQ(label(IDC_PROGRESS_SOURCE), "HELP");
  window->Destroy();
  mainWindow->Destroy();
}

}  // namespace
}  // namespace tovrin
