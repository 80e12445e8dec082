#pragma once
// How far an update run has come, gathered from its events on the worker
// thread and read by the progress window on the user-interface thread.

#include <cstdint>
#include <mutex>
#include <string>

#include "engine/run_events.hpp"

namespace tovrin {

// The progress window of either wizard: redrawn this often, and shown only
// once a run has lasted this long.
inline constexpr int kProgressTickMilliseconds = 100;
inline constexpr long kProgressShownAfterMilliseconds = 300;

struct ProgressSnapshot {
  int record = -1;  // index of the record being processed; -1 before the first
  int records = 0;
  std::string source;        // CP932, as the record names it
  std::string targetFolder;  // CP932 Windows path
  std::uint64_t bytesWritten = 0;
  std::uint64_t plannedBytes = 0;
  int plannedRecords = 0;  // the records whose bytes are planned

  // The bar's filled part in thousandths, never past the end: what the run
  // planned may fall short of what it writes. Records not planned yet (on a
  // disk still to come) count as large as the average planned one, so the
  // bar is not full while they are to come.
  int Permille() const;
};

class RunProgress : public RunEvents {
 public:
  void RecordStarted(int index, int count, const std::string& source,
                     const std::string& targetFolder) override;
  void BytesWritten(std::uint64_t bytes) override;
  void BytesPlanned(std::uint64_t bytes, int records) override;

  ProgressSnapshot Snapshot() const;

 private:
  mutable std::mutex mutex_;
  ProgressSnapshot state_;
};

}  // namespace tovrin
