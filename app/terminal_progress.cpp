#include "app/terminal_progress.hpp"

#include "hosts/console/terminal_text.hpp"

namespace tovrin {
namespace {

// A line redrawn more often than this only flickers.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr const char* kEraseLine = "\r\x1b[K";

}  // namespace

void TerminalProgress::RecordStarted(int index, int count, const std::string& source,
                                     const std::string&) {
  state_.records = count;
  record_ = "record " + std::to_string(index) + " of " + std::to_string(count) + ": " +
            TerminalLine(source);
  Draw();
}

void TerminalProgress::BytesWritten(std::uint64_t bytes) {
  state_.bytesWritten += bytes;
  if (std::chrono::steady_clock::now() - lastDrawn_ >= kRedrawInterval) Draw();
}

void TerminalProgress::BoxShowing(const std::string&, const std::string&) { Clear(); }

void TerminalProgress::RunEnded(UpdateOutcome) { Clear(); }

void TerminalProgress::Draw() {
  std::string line = kEraseLine + record_;
  if (state_.plannedBytes != 0) line += "  " + std::to_string(state_.Permille() / 10) + "%";
  terminal_ << line << std::flush;
  shown_ = true;
  lastDrawn_ = std::chrono::steady_clock::now();
}

void TerminalProgress::Clear() {
  if (!shown_) return;
  terminal_ << kEraseLine << std::flush;
  shown_ = false;
}

}  // namespace tovrin
