#include "hosts/wx/ui_thread.hpp"

#include <wx/app.h>
#include <wx/thread.h>

namespace tovrin::gui {

bool WxUiThread::IsCurrent() const { return wxIsMainThread(); }

void WxUiThread::Post(std::function<void()> call) { wxTheApp->CallAfter(std::move(call)); }

}  // namespace tovrin::gui
