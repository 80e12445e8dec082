#pragma once
// The sizes and SHA-256 of the product's files as a run streams them: what
// it writes is hashed on its way to the disk, what it reads whole is hashed
// on its way in, so that the log can name a file's old and new content
// without reading the file again.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_digest.hpp"
#include "platform/sha256.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

class StreamedDigests {
 public:
  explicit StreamedDigests(FileSystem& files) : files_(files) {}

  // The file's content now: as streamed whole since its last change, else
  // read. Nullopt when it cannot be read.
  std::optional<FileDigest> DigestOf(const std::string& path);
  // The name that one file goes by, however the run spells it.
  std::string KeyOf(const std::string& path) const;

  // Before a change: what was known of the file is set aside for a move
  // that may follow. Attributes and times set leave the content as it is.
  void Changing(const FileChange& change);
  void Begun(const void* stream, const std::string& path, bool writing);
  void Streamed(const void* stream, std::string_view bytes);
  void Ended(const void* stream, bool whole);
  void Moved(const std::string& from, const std::string& to);
  // Between runs the product may change behind the run's back.
  void Forget();

 private:
  struct Stream {
    std::string key;
    std::unique_ptr<Sha256> hash;  // null: the content is known already
    std::uint64_t size = 0;
    bool writing = false;
    bool changedMeanwhile = false;  // a read that no longer shows the file
  };

  FileSystem& files_;
  std::map<std::string, FileDigest> known_;
  std::map<std::string, FileDigest> leaving_;  // content before its last change
  std::map<const void*, Stream> streams_;
  bool readingItself_ = false;
};

}  // namespace tovrin
