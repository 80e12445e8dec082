#pragma once
// Progress of the unattended run on a terminal: one line, rewritten in
// place, cleared before each box so the boxes' lines stay whole.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "app/run_progress.hpp"
#include "engine/run_events.hpp"

namespace tovrin {

class TerminalProgress : public RunEvents {
 public:
  explicit TerminalProgress(std::ostream& terminal) : terminal_(terminal) {}

  void RecordStarted(int index, int count, const std::string& source,
                     const std::string& targetFolder) override;
  void BytesPlanned(std::uint64_t bytes, int records) override {
    state_.plannedBytes += bytes;
    state_.plannedRecords += records;
  }
  void BytesWritten(std::uint64_t bytes) override;
  void BoxShowing(const std::string& caption, const std::string& text) override;
  void RunEnded(UpdateOutcome outcome) override;

 private:
  void Draw();
  void Clear();

  std::ostream& terminal_;
  std::string record_;  // "record 2 of 6: HELP"
  ProgressSnapshot state_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace tovrin
