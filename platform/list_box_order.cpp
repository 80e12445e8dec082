#include "platform/list_box_order.hpp"

#include <algorithm>
#include <cctype>

namespace tovrin {

bool ListBoxSortsBefore(const std::string& left, const std::string& right) {
  return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                      [](char a, char b) {
                                        return std::tolower(static_cast<unsigned char>(a)) <
                                               std::tolower(static_cast<unsigned char>(b));
                                      });
}

std::size_t ListBoxInsertionIndex(const std::vector<std::string>& entries, const std::string& entry) {
  return static_cast<std::size_t>(
      std::upper_bound(entries.begin(), entries.end(), entry, ListBoxSortsBefore) - entries.begin());
}

}  // namespace tovrin
