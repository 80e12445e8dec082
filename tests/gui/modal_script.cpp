#include "tests/gui/modal_script.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>

#include "tests/gui/x_input.hpp"

namespace tovrin::testing {
namespace {

constexpr int kTickMilliseconds = 25;
// GTK draws a newly mapped window on its own frame clock; a page is acted on
// only once it has had time to show what it holds.
constexpr int kSettleTicks = 8;
const wxString kSeen = "seen by script";
const wxString kActedOn = "acted on by script";

// The innermost page or box on screen that the script has not acted on yet.
wxDialog* OpenPage() {
  wxDialog* found = nullptr;
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(window);
    const bool scripted = dynamic_cast<gui::PageDialog*>(window) != nullptr ||
                          dynamic_cast<gui::MessageBoxDialog*>(window) != nullptr;
    if (scripted && dialog->IsModal() && dialog->IsShownOnScreen() && dialog->GetName() != kActedOn)
      found = dialog;
  }
  return found;
}

int IdOf(wxDialog& dialog) {
  auto* page = dynamic_cast<gui::PageDialog*>(&dialog);
  return page != nullptr ? page->Template().id : ModalScript::kMessageBox;
}

void Cancel(wxDialog& dialog) {
  if (auto* page = dynamic_cast<gui::PageDialog*>(&dialog)) {
    page->EndDialog(IDCANCEL);
  } else {
    dialog.EndModal(wxID_CANCEL);
  }
}

// Calls `tick` every few milliseconds for as long as the object lives.
class Ticker : public wxTimer {
 public:
  explicit Ticker(std::function<void()> tick) : tick_(std::move(tick)) { Start(kTickMilliseconds); }
  void Notify() override { tick_(); }

 private:
  std::function<void()> tick_;
};

}  // namespace

ModalScript& ModalScript::Then(int templateId, Step step) {
  steps_.emplace_back(templateId,
                      [step](wxDialog& page) { step(static_cast<gui::PageDialog&>(page)); });
  return *this;
}

ModalScript& ModalScript::ThenBox(BoxStep step) {
  steps_.emplace_back(kMessageBox,
                      [step](wxDialog& box) { step(static_cast<gui::MessageBoxDialog&>(box)); });
  return *this;
}

void ModalScript::Run(const std::function<void()>& body, int limitSeconds) {
  ticksLeft_ = limitSeconds * 1000 / kTickMilliseconds;
  Ticker ticker([this] { OnTick(); });
  body();
}

void ModalScript::OnTick() {
  wxDialog* page = OpenPage();
  if (page == nullptr) return;
  if (--ticksLeft_ <= 0) {
    failures_.push_back("window " + std::to_string(IdOf(*page)) + " still open at the limit");
    page->SetName(kActedOn);
    Cancel(*page);
    return;
  }
  // Input goes where the window manager sends it: wait for the page to
  // have the focus, as a user waits for it to come up.
  if (!HasTheFocus(page)) return;
  if (page->GetName() != kSeen) {
    page->SetName(kSeen);
    settleTicks_ = kSettleTicks;
    return;
  }
  if (--settleTicks_ > 0) return;
  page->SetName(kActedOn);
  const int id = IdOf(*page);
  seen_.push_back(id);
  if (next_ >= steps_.size() || steps_[next_].first != id) {
    failures_.push_back("unexpected window " + std::to_string(id));
    Cancel(*page);
    return;
  }
  steps_[next_++].second(*page);
}

wxImage CaptureScreen(const wxRect& area) {
  // The X server's own picture of the screen: what the user sees.
  const auto file = std::filesystem::temp_directory_path() /
                    ("tovrin-capture-" + std::to_string(::getpid()) + ".png");
  const std::string command = "import -window root -crop " + std::to_string(area.GetWidth()) + "x" +
                              std::to_string(area.GetHeight()) + "+" +
                              std::to_string(area.GetLeft()) + "+" + std::to_string(area.GetTop()) +
                              " +repage png:" + file.string();
  wxImage image;
  if (std::system(command.c_str()) == 0) image.LoadFile(file.string(), wxBITMAP_TYPE_PNG);
  std::filesystem::remove(file);
  return image;
}

std::string SaveScreenshot(wxWindow* window, const std::string& name) {
  const wxImage shot = CaptureScreen(window->GetScreenRect());
  const auto folder = std::filesystem::path(TOVRIN_BINARY_DIR) / "screenshots";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / (name + ".png")).string();
  if (!shot.IsOk() || !shot.SaveFile(path, wxBITMAP_TYPE_PNG)) return {};
  return path;
}

bool RunEventsUntil(const std::function<bool()>& done, int limitSeconds) {
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  int ticksLeft = limitSeconds * 1000 / kTickMilliseconds;
  bool reached = false;
  Ticker ticker([&] {
    // Only the loop itself may end: never from inside a page's own loop.
    if (wxEventLoopBase::GetActive() != &loop) return;
    reached = done();
    if (reached || --ticksLeft <= 0) loop.Exit();
  });
  loop.Run();
  return reached;
}

}  // namespace tovrin::testing
