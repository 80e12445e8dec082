#pragma once
// The file operations of the update run's journal, on host paths inside the
// product folder: keeping an old file under a second name (a hard link
// where the file system has them, else a whole copy), appending records that
// reach the disk before the change they describe, and putting files back.
// Each system's side implements it (posix/journal_files.cpp,
// win32/journal_files.cpp); tests derive from it to take hard links away.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

enum class LinkResult { Linked, Unsupported, Failed };

class JournalFiles {
 public:
  virtual ~JournalFiles() = default;

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
  virtual bool Exists(const std::filesystem::path& path) const = 0;
};

// The journal file operations of this host.
std::unique_ptr<JournalFiles> MakeJournalFiles();

}  // namespace tovrin
