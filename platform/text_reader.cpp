#include "platform/text_reader.hpp"

#include <cstring>

namespace tovrin {

namespace {
constexpr char kEndOfFile = 0x1A;
}

TextReader::TextReader(InputFile& file) : file_(file) {}

bool TextReader::Fill() {
  if (ended_) return false;
  const auto count = file_.Read(buffer_, sizeof buffer_);
  position_ = 0;
  length_ = count.value_or(0);
  failed_ = failed_ || !count;
  ended_ = length_ == 0;
  // Nothing after the end-of-file mark is text. Looking for it once per
  // buffer, not once per line, keeps reading linear in the file size.
  if (const void* mark = std::memchr(buffer_, kEndOfFile, length_)) {
    length_ = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer_);
    ended_ = true;
  }
  return length_ > 0;
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  bool readAny = false;
  for (;;) {
    if (position_ == length_ && !Fill()) return readAny;
    const char* start = buffer_ + position_;
    const std::size_t available = length_ - position_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t taken =
        newline == nullptr ? available : static_cast<std::size_t>(newline - start);
    line.append(start, taken);
    position_ += taken;
    readAny = readAny || taken > 0;
    if (newline == nullptr) continue;
    ++position_;
    // The CR of a CR LF pair, even when the pair straddled two buffers.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
}

}  // namespace tovrin
