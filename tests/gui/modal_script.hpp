#pragma once
// Drives pages that open modally: a timer that runs inside their loops
// finds each newly shown page and performs the next step on it, as a user
// would, through real pointer and keyboard input (x_input.hpp).

#include <functional>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/timer.h>

#include "hosts/wx/message_box.hpp"
#include "hosts/wx/page_dialog.hpp"

namespace tovrin::testing {

class ModalScript {
 public:
  using Step = std::function<void(gui::PageDialog&)>;
  using BoxStep = std::function<void(gui::MessageBoxDialog&)>;
  // The id under which Seen() lists a message box.
  static constexpr int kMessageBox = -1;

  // The next page expected, and what to do on it.
  ModalScript& Then(int templateId, Step step);
  // The next window expected is a message box.
  ModalScript& ThenBox(BoxStep step);
  // A page acted on already, expected again once a box over it has gone.
  static void Revisit(wxDialog& page) { page.SetName(wxEmptyString); }
  // Runs `body`, which opens pages, until it returns; a page the script does
  // not expect, or a page still open after `limitSeconds`, is ended with
  // IDCANCEL and recorded as a failure.
  void Run(const std::function<void()>& body, int limitSeconds = 30);

  std::vector<int> Seen() const { return seen_; }
  std::vector<std::string> Failures() const { return failures_; }
  bool AllStepsDone() const { return next_ == steps_.size(); }

 private:
  void OnTick();

  std::vector<std::pair<int, std::function<void(wxDialog&)>>> steps_;
  std::size_t next_ = 0;
  std::vector<int> seen_;
  std::vector<std::string> failures_;
  int ticksLeft_ = 0;
  int settleTicks_ = 0;
};

// What the screen shows in `area` (invalid when it cannot be read).
wxImage CaptureScreen(const wxRect& area);

// Saves what the window shows on screen as a PNG under the build folder's
// screenshots/; returns its path, empty when it could not be saved.
std::string SaveScreenshot(wxWindow* window, const std::string& name);

// Runs the event loop until `done()` holds (checked between events) or the
// limit passes; false on the limit.
bool RunEventsUntil(const std::function<bool()>& done, int limitSeconds = 30);

}  // namespace tovrin::testing
