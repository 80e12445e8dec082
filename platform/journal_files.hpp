#pragma once
// The file operations of the update run's journal, on host paths inside the
// product folder: keeping an old file under a second name (a hard link
// where the file system has them, else a whole copy), appending records that
// reach the disk before the change they describe, and putting files back.
// Each acts only on a path below the folder given to Confine(), reached from
// it without following any link (a symbolic link, a junction, any reparse
// point), and fails on any other: a journal or a product a user has edited
// never carries a restore out of the product.
// Each system's side implements it (posix/journal_files.cpp,
// win32/journal_files.cpp); tests derive from it to take hard links away.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

enum class LinkResult { Linked, Unsupported, Failed };

// What a name holds, looked at without following a link. Unknown: it could
// not be looked at, or the way to it passes through a link.
enum class EntryKind { Absent, File, Folder, Other, Unknown };

class JournalFiles {
 public:
  virtual ~JournalFiles() = default;

  // The folder every later operation stays below (a host path).
  void Confine(const std::filesystem::path& root) { roots_ = {root.lexically_normal()}; }
  // One more such folder: a master folder outside the product that the
  // journal covers.
  void AlsoConfine(const std::filesystem::path& folder) {
    roots_.push_back(folder.lexically_normal());
  }

  // A second name `kept` for the file `file` (flushed by FlushFolder).
  // Unsupported where the file system cannot link (another file system, no
  // hard links at all).
  virtual LinkResult Link(const std::filesystem::path& file, const std::filesystem::path& kept) = 0;
  // A whole copy of `file` at `kept` with its permission bits, times and DOS
  // attributes, its content flushed to the disk (its name by FlushFolder).
  virtual bool CopyWhole(const std::filesystem::path& file, const std::filesystem::path& kept) = 0;
  // Flushes the names in `folder` (new links and copies) to the disk.
  virtual bool FlushFolder(const std::filesystem::path& folder) = 0;
  // Appends `bytes` to `file` (created when missing) and flushes it and its
  // folder to the disk.
  virtual bool AppendDurably(const std::filesystem::path& file, std::string_view bytes) = 0;
  // The whole file; nullopt when it cannot be read.
  virtual std::optional<std::string> ReadWhole(const std::filesystem::path& file) const = 0;

  // Renames `from` over `to` in one step and flushes the folder of `to`.
  // Across file systems (a master folder elsewhere) `from` is copied beside
  // `to` first, so `to` is still replaced in one step.
  virtual bool MoveBack(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Whether `file` is still what `kept` holds (the same file, or the same
  // content and attributes): a change that never happened needs no undoing.
  virtual bool Unchanged(const std::filesystem::path& kept,
                         const std::filesystem::path& file) const = 0;
  // Creates `folder` and its missing parents.
  virtual bool MakeFolders(const std::filesystem::path& folder) = 0;
  // Removes a file, or an empty folder; true when nothing is left there.
  virtual bool RemoveEntry(const std::filesystem::path& path) = 0;
  // Removes a folder with everything in it; true when nothing is left.
  virtual bool RemoveTree(const std::filesystem::path& folder) = 0;
  virtual EntryKind KindOf(const std::filesystem::path& path) const = 0;

 protected:
  // For a store that acts through another: the other confined alike.
  void PassConfinementTo(JournalFiles& inner) const { inner.roots_ = roots_; }
  // A path split into the confining folder it lies below (the nearest, when
  // one lies inside another) and the rest; nullopt when it lies below none.
  struct Placed {
    std::filesystem::path root;
    std::filesystem::path relative;
  };
  std::optional<Placed> BelowRoot(const std::filesystem::path& path) const {
    std::optional<Placed> nearest;
    for (const std::filesystem::path& root : roots_) {
      const auto relative = path.lexically_normal().lexically_relative(root);
      if (root.empty() || relative.empty() || *relative.begin() == "..") continue;
      if (!nearest || root.native().size() > nearest->root.native().size()) {
        nearest = Placed{root, relative};
      }
    }
    return nearest;
  }

 private:
  std::vector<std::filesystem::path> roots_;
};

// The journal file operations of this host.
std::unique_ptr<JournalFiles> MakeJournalFiles();

}  // namespace tovrin
