// Starts the window manager and wxWidgets once for the whole program, with
// the font alias, as the wizard starts on a user's desktop.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/debug.h>

#include "hosts/wx/font_alias.hpp"
#include "tests/x_display/window_manager.hpp"

namespace tovrin {
namespace {

// A failed wxWidgets assertion fails the test instead of opening a box that
// nobody answers.
void FailOnAssert(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets assertion " << condition.utf8_str() << " in "
                                        << function.utf8_str() << ": " << message.utf8_str();
}

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    wxSetAssertHandler(FailOnAssert);
    ASSERT_TRUE(windowManager_.Start()) << "no window manager: install openbox";
    ASSERT_TRUE(gui::LoadFontAlias());
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new wxApp);
    ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under xvfb-run";
    ASSERT_TRUE(wxTheApp->CallOnInit());
    wxInitAllImageHandlers();
  }
  void TearDown() override {
    wxEntryCleanup();
    windowManager_.Stop();
  }

 private:
  testing::WindowManager windowManager_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace
}  // namespace tovrin
