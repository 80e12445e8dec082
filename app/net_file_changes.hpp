#pragma once
// The files a step of a run changed, by their net change: a work file that
// came and went, or a change of its time stamp only, is not a change of the
// product. The log and the machine report each tell them.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/file_digest.hpp"
#include "app/streamed_digests.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

struct NetFileChange {
  enum class Kind { FolderAdded, Added, Replaced, Removed };
  Kind kind = Kind::Added;
  std::string path;                  // CP932 Windows path, as the disk spells it
  std::optional<FileDigest> before;  // nullopt: it was not there
  std::optional<FileDigest> after;   // nullopt: it is gone
};

class NetFileChanges {
 public:
  explicit NetFileChanges(FileSystem& files) : files_(files), digests_(files) {}

  // Before a change: the old content is read before the first change to a
  // file, so that it can be named when the step is over.
  void Note(const FileChange& change);
  // The net changes since the last call, in the order of their first change.
  std::vector<NetFileChange> Settle();
  // What the run streams, so that contents are named without reading them again.
  StreamedDigests& Digests() { return digests_; }

 private:
  struct Pending {
    std::string path;
    bool isFolder = false;
    std::optional<FileDigest> before;
  };

  FileSystem& files_;
  StreamedDigests digests_;
  std::vector<Pending> pending_;
  std::map<std::string, std::size_t> pendingByKey_;
};

}  // namespace tovrin
