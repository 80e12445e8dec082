#pragma once
// Where a sorted list box (LBS_SORT) places an added entry: byte order with
// ASCII letters compared without case, after any equal entries.

#include <string>
#include <vector>

namespace tovrin {

bool ListBoxSortsBefore(const std::string& left, const std::string& right);

// The index at which `entry` goes into the sorted `entries`.
std::size_t ListBoxInsertionIndex(const std::vector<std::string>& entries,
                                  const std::string& entry);

}  // namespace tovrin
