#pragma once
// Rewriting one master file through the work file "temp.mst" beside it.

#include <optional>
#include <string>

#include "engine/master_line_rules.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

inline constexpr std::string_view kMasterWorkFileName = "temp.mst";

// Converts folder + name line by line into the work file and renames that
// over the master in one step; gives the number of records the rule
// changed. Nullopt when the master cannot be opened for reading and writing
// or any step of the rewrite fails; the master then keeps its old content
// and the work file is removed where possible.
std::optional<int> RewriteMasterFile(FileSystem& files, const std::string& folder,
                                     const std::string& name, MasterLineRule rule);

}  // namespace tovrin
