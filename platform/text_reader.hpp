#pragma once
// CStdioFile::ReadString in text mode: LF ends a line and a CR directly
// before it is dropped (a CR elsewhere stays), the byte 0x1A ends the file.
// Reads through a fixed buffer; the caller's line string is reused.

#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

class TextReader {
 public:
  explicit TextReader(InputFile& file);
  // False at the end of the file (nothing read). A read error ends the file
  // too and is reported by Failed().
  bool ReadLine(std::string& line);
  bool Failed() const { return failed_; }

 private:
  bool Fill();

  InputFile& file_;
  char buffer_[64 * 1024];
  std::size_t position_ = 0;
  std::size_t length_ = 0;
  bool ended_ = false;
  bool failed_ = false;
};

}  // namespace tovrin
