// Starts wxWidgets once for the whole program, with the font alias, as the
// wizard starts.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "platform/gui/font_alias.hpp"

namespace tovrin {
namespace {

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(gui::LoadFontAlias());
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new wxApp);
    ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under xvfb-run";
    ASSERT_TRUE(wxTheApp->CallOnInit());
    wxInitAllImageHandlers();
  }
  void TearDown() override { wxEntryCleanup(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace
}  // namespace tovrin
