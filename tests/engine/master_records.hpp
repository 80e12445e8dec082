#pragma once
// Material master records for the conversion tests.

#include <string>
#include <string_view>

namespace tovrin::testing {

// A record of `length` bytes: code, sub-code, a blank, the type letter, then
// filler with "X" at byte 67 so that a dropped byte can be seen.
inline std::string MasterRecord(std::string_view code, std::string_view subCode, std::size_t length,
                                char letter = 'A') {
  std::string record = std::string(code) + std::string(subCode) + " " + letter;
  for (std::size_t i = record.size(); i < length; ++i) {
    record.push_back(i == 66 ? 'X' : static_cast<char>('a' + i % 26));
  }
  record.resize(length);
  return record;
}

// The record as the size conversion leaves it: byte 67 dropped.
inline std::string WithoutByte67(const std::string& record) {
  return record.substr(0, 66) + record.substr(67);
}

}  // namespace tovrin::testing
