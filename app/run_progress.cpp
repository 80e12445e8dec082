#include "app/run_progress.hpp"

#include <algorithm>

namespace tovrin {

int ProgressSnapshot::Permille() const {
  if (plannedBytes == 0) return 0;
  return static_cast<int>(std::min(bytesWritten, plannedBytes) * 1000 / plannedBytes);
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

void RunProgress::BytesPlanned(std::uint64_t bytes) {
  const std::lock_guard lock(mutex_);
  state_.plannedBytes += bytes;
}

ProgressSnapshot RunProgress::Snapshot() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

}  // namespace tovrin
