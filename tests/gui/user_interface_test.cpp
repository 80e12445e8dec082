// The wizard's message boxes, answered through simulated keys, and the
// wait cursor as the busy cursor.

#include <gtest/gtest.h>

#include <wx/display.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "platform/cp932.hpp"
#include "platform/gui/wx_user_interface.hpp"

namespace tovrin {
namespace {

// Types `key` once the box has had time to show; without a window manager
// the keyboard follows the pointer, so it goes to the middle of the screen
// where the box is centred.
class KeyLater : public wxTimer {
 public:
  explicit KeyLater(int key) : key_(key) { StartOnce(400); }
  void Notify() override {
    wxUIActionSimulator input;
    const wxRect screen = wxDisplay(0u).GetGeometry();
    input.MouseMove(screen.GetLeft() + screen.GetWidth() / 2, screen.GetTop() + screen.GetHeight() / 2);
    input.Char(key_);
  }

 private:
  int key_;
};

TEST(WxUserInterface, MessageBoxAnswersOkOrCancel) {
  // The update run names its owner by a handle of its own.
  auto* owner = new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(0, 0), wxDisplay(0u).GetGeometry().GetSize());
  owner->Show();
  int viewHandle = 0;
  gui::WxUserInterface ui;
  ui.SetOwnerWindow(&viewHandle, owner);
  const std::string text = cp932::Text("ディスク2を入れてください。");
  const std::string caption = cp932::Text("確認");
  {
    KeyLater enter(WXK_RETURN);
    EXPECT_EQ(ui.MessageBox(&viewHandle, text, caption, MB_OKCANCEL), IDOK);
  }
  {
    KeyLater escape(WXK_ESCAPE);
    EXPECT_EQ(ui.MessageBox(&viewHandle, text, caption, MB_OKCANCEL), IDCANCEL);
  }
  {
    KeyLater enter(WXK_RETURN);
    EXPECT_EQ(ui.MessageBox(owner, text, caption, MB_OK), IDOK);
  }
  owner->Destroy();
}

TEST(WxUserInterface, WaitCursorIsTheBusyCursorAndNests) {
  gui::WxUserInterface ui;
  EXPECT_FALSE(wxIsBusy());
  {
    WaitCursor outer(ui);
    EXPECT_TRUE(wxIsBusy());
    {
      WaitCursor inner(ui);
      EXPECT_TRUE(wxIsBusy());
    }
    EXPECT_TRUE(wxIsBusy());
  }
  EXPECT_FALSE(wxIsBusy());
}

}  // namespace
}  // namespace tovrin
