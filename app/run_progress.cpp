#include "app/run_progress.hpp"

#include <algorithm>

namespace tovrin {

int ProgressSnapshot::Permille() const {
  if (plannedBytes == 0) return 0;
  std::uint64_t expected = plannedBytes;
  if (plannedRecords > 0 && records > plannedRecords) {
    expected += plannedBytes / static_cast<std::uint64_t>(plannedRecords) *
                static_cast<std::uint64_t>(records - plannedRecords);
  }
  return static_cast<int>(std::min(bytesWritten, expected) * 1000 / expected);
}

void RunProgress::RecordStarted(int index, int count, const std::string& source,
                                const std::string& targetFolder) {
  const std::lock_guard lock(mutex_);
  state_.record = index;
  state_.records = count;
  state_.source = source;
  state_.targetFolder = targetFolder;
}

void RunProgress::BytesWritten(std::uint64_t bytes) {
  const std::lock_guard lock(mutex_);
  state_.bytesWritten += bytes;
}

void RunProgress::BytesPlanned(std::uint64_t bytes, int records) {
  const std::lock_guard lock(mutex_);
  state_.plannedBytes += bytes;
  state_.plannedRecords += records;
}

ProgressSnapshot RunProgress::Snapshot() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

}  // namespace tovrin
