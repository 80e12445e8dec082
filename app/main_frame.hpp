#pragma once
// The main window: a normal top-level window, maximized, with a caption and
// the usual window buttons; no menu, toolbar or status bar. Its title "Tovrin" gives way to line 1
// of info.txt once its own command 104 comes through the queue. The frame's idle time dispatches
// the program's posted messages.

#include <memory>

#include <wx/frame.h>

#include "app/tovrin_doc.hpp"
#include "platform/message_queue.hpp"
#include "wizard/tovrin_view.hpp"

namespace tovrin {

class ViewWindow;

class CMainFrame : public wxFrame, public MessageTarget {
 public:
  // Creates the view inside the frame (which posts command 101), then
  // posts command 104 to the frame.
  CMainFrame(Platform& platform, ArchiveLibrary& archives, DialogHost& dialogs,
             MessageQueue& queue);
  ~CMainFrame() override;

  void OnMessage(unsigned message, int wParam) override;
  void OnSetTitle();  // command 104

  CTovrinView& View() { return *view_; }
  wxWindow* ViewWindowOf() const;

 private:
  void InstallAccelerators();
  void OnAccelerator(wxCommandEvent& event);
  void OnIdle(wxIdleEvent& event);

  Platform& platform_;
  MessageQueue& queue_;
  CTovrinDoc document_;
  std::unique_ptr<CTovrinView> view_;
  ViewWindow* viewWindow_ = nullptr;
  bool onScreen_ = false;  // the view has been painted once
};

}  // namespace tovrin
