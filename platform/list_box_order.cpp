#include "platform/list_box_order.hpp"

#include <algorithm>

#include "platform/cp932.hpp"

namespace tovrin {
namespace {

// The entry's bytes as the list box compares them: ASCII letters folded to
// lower case, never the second byte of a double-byte character.
std::string SortKey(const std::string& entry) {
  std::string key = entry;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const auto byte = static_cast<unsigned char>(key[i]);
    if (cp932::IsLeadByte(byte)) {
      ++i;
    } else if (byte >= 'A' && byte <= 'Z') {
      key[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return key;
}

}  // namespace

bool ListBoxSortsBefore(const std::string& left, const std::string& right) {
  const std::string leftKey = SortKey(left);
  const std::string rightKey = SortKey(right);
  return std::lexicographical_compare(
      leftKey.begin(), leftKey.end(), rightKey.begin(), rightKey.end(),
      [](char a, char b) { return static_cast<unsigned char>(a) < static_cast<unsigned char>(b); });
}

std::size_t ListBoxInsertionIndex(const std::vector<std::string>& entries,
                                  const std::string& entry) {
  return static_cast<std::size_t>(
      std::upper_bound(entries.begin(), entries.end(), entry, ListBoxSortsBefore) -
      entries.begin());
}

}  // namespace tovrin
