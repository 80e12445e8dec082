#pragma once
// The journal's file operations on a POSIX host: link(), a copy that keeps
// mode, times and the stored DOS bits, fsync after every record; every path
// reached by openat() from the confining folder, one part at a time.

#include <sys/stat.h>

#include "platform/journal_files.hpp"

namespace tovrin {

class PosixJournalFiles : public JournalFiles {
 public:
  LinkResult Link(const std::filesystem::path& file, const std::filesystem::path& kept) override;
  bool CopyWhole(const std::filesystem::path& file, const std::filesystem::path& kept) override;
  bool FlushFolder(const std::filesystem::path& folder) override;
  bool AppendDurably(const std::filesystem::path& file, std::string_view bytes) override;
  std::optional<std::string> ReadWhole(const std::filesystem::path& file) const override;
  bool MoveBack(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool Unchanged(const std::filesystem::path& kept,
                 const std::filesystem::path& file) const override;
  bool MakeFolders(const std::filesystem::path& folder) override;
  bool RemoveEntry(const std::filesystem::path& path) override;
  bool RemoveTree(const std::filesystem::path& folder) override;
  EntryKind KindOf(const std::filesystem::path& path) const override;

 private:
  // An open folder below the confining one (the caller closes it), or -1
  // and Absent (a part is missing) or Unknown (a link, an error).
  struct Walk {
    int descriptor;
    EntryKind kind;
  };
  Walk OpenFolder(const std::filesystem::path& folder, bool create = false) const;
  // `path` itself, not followed, reached through OpenFolder.
  bool StatusOf(const std::filesystem::path& path, struct stat& status) const;
};

}  // namespace tovrin
