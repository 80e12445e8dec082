#pragma once
// Where the view's update run goes on. The wizard runs it on a worker
// thread, so that its window stays alive and shows the run's progress; the
// unattended run and the tests run it right where it is asked for.

#include <functional>

#include "engine/run_events.hpp"
#include "platform/user_interface.hpp"

namespace tovrin {

class UpdateRunHost {
 public:
  // The run, with the boxes it is to show its user through and a listener
  // for what it does.
  using Run = std::function<void(UserInterface& ui, RunEvents& events)>;

  virtual ~UpdateRunHost() = default;
  // Runs `run` to its end, its boxes shown through `ui`.
  virtual void RunUpdate(UserInterface& ui, const Run& run) = 0;
};

// On the calling thread, with nobody listening.
class InPlaceRunHost : public UpdateRunHost {
 public:
  void RunUpdate(UserInterface& ui, const Run& run) override {
    RunEvents nobody;
    run(ui, nobody);
  }
};

}  // namespace tovrin
