#pragma once
// The wxWidgets main thread, reached through the application's pending calls.

#include "hosts/ui_thread/ui_thread.hpp"

namespace tovrin::gui {

class WxUiThread : public UiThread {
 public:
  bool IsCurrent() const override;
  void Post(std::function<void()> call) override;
};

}  // namespace tovrin::gui
