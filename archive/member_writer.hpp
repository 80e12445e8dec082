#pragma once
// Writing one archive member into the product: whole or not at all.

#include <optional>
#include <string>

#include "archive/lzh_reader.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// The message for a member whose data could not be read: corrupt, or
// larger than the reader decodes.
std::string UnreadMemberMessage(const LzhMember& member, DataResult result);

// Writes the data of `member` (the reader's current member) to the Windows
// path `target`, staged beside it and renamed into place only after its CRC
// was checked; then restores its time stamp and attributes. An existing
// target that is a folder is refused; one that is read-only or hidden is
// left as it is when it holds exactly the member's bytes, else refused;
// without `alwaysReplace` one that is not older than the member is kept.
// Returns the CP932 failure message, or nullopt when the member is done.
std::optional<std::string> WriteMember(FileSystem& files, LzhReader& reader, const LzhMember& member,
                                       const std::string& target, bool alwaysReplace);

}  // namespace tovrin
