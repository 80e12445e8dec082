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
std::optional<std::string> WriteMember(FileSystem& files, LzhReader& reader,
                                       const LzhMember& member, const std::string& target,
                                       bool alwaysReplace);

// A member decoded into a temporary file, waiting to be renamed over its
// target; one with no temporary (its bytes already in place) needs only
// its time stamp and attributes set.
struct StagedMember {
  std::string shown;  // the member's name for messages
  std::string temporary;
  std::string target;
  FileStatus status;
};

// As WriteMember, but the data goes to a new temporary file in
// `stagingFolder` (a folder on the target's file system that exists),
// closed, not yet flushed; `staged` receives what Apply has to put in place.
std::optional<std::string> StageMember(FileSystem& files, LzhReader& reader,
                                       const LzhMember& member, const std::string& target,
                                       const std::string& stagingFolder, bool alwaysReplace,
                                       std::optional<StagedMember>& staged);

// Renames a staged member over its target, then gives it its time stamp and
// attributes; the failure message, or nullopt. The folders' new entries are
// the caller's to flush.
std::optional<std::string> PlaceStagedMember(FileSystem& files, const StagedMember& staged);

}  // namespace tovrin
