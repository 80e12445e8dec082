#include "app/main_frame.hpp"

#include <vector>

#include <wx/accel.h>
#include <wx/gdicmn.h>

#include "app/view_window.hpp"
#include "description/update_description.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/program_icon.hpp"
#include "resources/accelerator_table.hpp"
#include "resources/resource_ids.hpp"

namespace tovrin {
namespace {

// A normal top-level window: the window manager draws its caption and the
// usual window buttons (a simple border would ask for no decoration at all).
constexpr long kFrameStyle = wxDEFAULT_FRAME_STYLE;

int WxKey(int virtualKey) {
  switch (virtualKey) {
    case VK_BACK:
      return WXK_BACK;
    case VK_INSERT:
      return WXK_INSERT;
    case VK_DELETE:
      return WXK_DELETE;
    case VK_F6:
      return WXK_F6;
    default:
      return virtualKey;
  }
}

int WxModifiers(const Accelerator& accelerator) {
  int flags = wxACCEL_NORMAL;
  if (accelerator.control) flags |= wxACCEL_CTRL;
  if (accelerator.shift) flags |= wxACCEL_SHIFT;
  if (accelerator.alt) flags |= wxACCEL_ALT;
  return flags;
}

}  // namespace

CMainFrame::CMainFrame(Platform& platform, ArchiveLibrary& archives, DialogHost& dialogs,
                       MessageQueue& queue)
    : wxFrame(nullptr, wxID_ANY, "Tovrin", wxDefaultPosition, wxDefaultSize, kFrameStyle),
      platform_(platform),
      queue_(queue) {
  SetIcon(gui::ProgramIcon());
  document_.OnNewDocument();
  view_ = std::make_unique<CTovrinView>(platform, archives, dialogs, queue, *this);
  viewWindow_ = new ViewWindow(this, *view_);
  view_->OnCreate();
  InstallAccelerators();
  // Sized to the work area as well: without a window manager (Xvfb) a
  // maximize request alone changes nothing.
  SetSize(wxGetClientDisplayRect());
  Maximize();
  queue_.PostMessage(*this, WM_COMMAND, ID_SET_TITLE);
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  viewWindow_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
    onScreen_ = true;
    event.Skip();
  });
}

CMainFrame::~CMainFrame() = default;

wxWindow* CMainFrame::ViewWindowOf() const { return viewWindow_; }

void CMainFrame::OnMessage(unsigned message, int wParam) {
  if (message == WM_CLOSE) {
    Close();
    return;
  }
  if (message == WM_COMMAND && wParam == ID_SET_TITLE) OnSetTitle();
}

void CMainFrame::OnSetTitle() {
  SetTitle(gui::ToWx(ReadInfoTitle(platform_.files, platform_.mediumFolder + "info.txt")));
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  event.Skip();
  // Not before the window manager has put the frame on screen: a page
  // opened earlier would be stacked under the frame mapped after it.
  if (!onScreen_) return;
  // One message at a time: a page opened by one runs its own loop, in
  // which the rest go on being dispatched.
  if (queue_.DispatchOne()) event.RequestMore();
}

void CMainFrame::InstallAccelerators() {
  std::vector<wxAcceleratorEntry> entries;
  for (const Accelerator& accelerator : AcceleratorTable())
    entries.emplace_back(WxModifiers(accelerator), WxKey(accelerator.key), accelerator.command);
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
  Bind(wxEVT_MENU, &CMainFrame::OnAccelerator, this);
}

void CMainFrame::OnAccelerator(wxCommandEvent& event) {
  // New re-initialises the empty document; the other commands have nothing
  // to act on in a document that holds nothing.
  if (event.GetId() == ID_FILE_NEW) {
    document_.OnNewDocument();
    return;
  }
  event.Skip();  // the application's commands (About)
}

}  // namespace tovrin
