// The wizard's message boxes, in the program's font and answered through
// real keys and clicks, and the wait cursor as the busy cursor.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include <wx/display.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "platform/cp932.hpp"
#include "hosts/wx/dialog_units.hpp"
#include "hosts/wx/message_box.hpp"
#include "hosts/wx/user_interface.hpp"
#include "tests/gui/x_input.hpp"

namespace tovrin {
namespace {

// Answers the next box that opens, once it has shown, through real input.
class AnswerLater : public wxTimer {
 public:
  explicit AnswerLater(std::function<void(gui::MessageBoxDialog&)> answer)
      : answer_(std::move(answer)) {
    Start(100);
  }
  void Notify() override {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* box = dynamic_cast<gui::MessageBoxDialog*>(window);
      if (box == nullptr || !box->IsShownOnScreen() || ++shownTicks_ < 4) continue;
      Stop();
      answer_(*box);
      return;
    }
  }

 private:
  std::function<void(gui::MessageBoxDialog&)> answer_;
  int shownTicks_ = 0;
};

AnswerLater Keys(const std::string& keys) {
  return AnswerLater([keys](gui::MessageBoxDialog&) { testing::PressKeys(keys); });
}

TEST(WxUserInterface, MessageBoxAnswersOkOrCancel) {
  // The update run names its owner by a handle of its own.
  auto* owner =
      new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(0, 0), wxDisplay(0u).GetGeometry().GetSize());
  owner->Show();
  int viewHandle = 0;
  gui::WxUserInterface ui;
  ui.SetOwnerWindow(&viewHandle, owner);
  const std::string text = cp932::Text("ディスク2を入れてください。");
  const std::string caption = cp932::Text("確認");
  {
    AnswerLater enter = Keys("Return");
    EXPECT_EQ(ui.MessageBox(&viewHandle, text, caption, MB_OKCANCEL), IDOK);
  }
  {
    AnswerLater escape = Keys("Escape");
    EXPECT_EQ(ui.MessageBox(&viewHandle, text, caption, MB_OKCANCEL), IDCANCEL);
  }
  {
    AnswerLater cancel([](gui::MessageBoxDialog& box) { testing::Click(box.CancelButton()); });
    EXPECT_EQ(ui.MessageBox(&viewHandle, text, caption, MB_OKCANCEL), IDCANCEL);
  }
  {
    AnswerLater enter = Keys("Return");
    EXPECT_EQ(ui.MessageBox(owner, text, caption, MB_OK), IDOK);
  }
  owner->Destroy();
}

TEST(WxUserInterface, MessageBoxShowsTheProgramsFontAndWindowsSizedButtons) {
  gui::WxUserInterface ui;
  AnswerLater check([](gui::MessageBoxDialog& box) {
    EXPECT_EQ(box.GetFont().GetFaceName(), wxString::FromUTF8("ＭＳ Ｐゴシック"));
    const gui::BaseUnits units{
        gui::AverageCharWidth(
            box.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").x),
        box.GetCharHeight()};
    const Rect windows = gui::MapDialogRect(0, 0, 50, 14, units);
    for (wxWindow* button : {box.OkButton(), box.CancelButton()})
      EXPECT_EQ(button->GetSize(), wxSize(windows.right, windows.bottom));
    // The pair centred in the box.
    const int left = box.OkButton()->GetPosition().x;
    const int right = box.GetClientSize().x - box.CancelButton()->GetRect().GetRight() - 1;
    EXPECT_LE(std::abs(left - right), 1);
    testing::PressKeys("Return");
  });
  EXPECT_EQ(ui.MessageBox(nullptr, cp932::Text("C:\\VELSOR が見つかりません。"),
                          cp932::Text("確認"), MB_OKCANCEL),
            IDOK);
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
