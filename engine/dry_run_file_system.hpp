#pragma once
// The file system of a dry run: every read sees the product as the run
// would have left it so far, and no write reaches the product. What the run
// writes is kept in a private temporary folder, not in memory, and listed
// at the end.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/spilled_content.hpp"
#include "platform/forwarding_file_system.hpp"

namespace tovrin {

class DryRunFileSystem : public ForwardingFileSystem {
 public:
  // Reads `real` for what the run has not written yet; the drives and the
  // current folders are its own. What it would write is kept in a private
  // temporary folder.
  explicit DryRunFileSystem(FileSystem& real)
      : ForwardingFileSystem(real),
        spill_(SpillFolder::Make()) {}

  // A file or folder the run would have added or replaced, in the order of
  // its first change. Work files that did not outlive the run are not here.
  struct Change {
    std::string path;  // Windows path
    bool existed = false;
    bool isFolder = false;
    bool removed = false;
    std::uint64_t size = 0;
  };
  std::vector<Change> Changes() const;
  // False when there is no private temporary folder to keep the writes in.
  bool KeepsWrites() const { return spill_->Ready(); }

  Presence Exists(std::string_view path) const override;
  std::optional<std::string> FinalPath(std::string_view path) const override;
  int Mkdir(std::string_view path) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool GetStatus(std::string_view path, FileStatus& status) const override;
  bool SetStatus(std::string_view path, const FileStatus& status) override;
  bool Remove(std::string_view path) override;
  bool Replace(std::string_view from, std::string_view to) override;
  // Nothing of a dry run has to outlive a crash.
  bool Flush(std::string_view) override { return true; }
  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess access) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;
  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override;
  // Makes nothing: a run that holds the product's lock makes it Busy, a
  // product without a lock file is Held as it is.
  ProductLockResult LockProduct(std::string_view folder) override;

 private:
  // Host paths without regard to ASCII case, as the Windows world names them.
  using Key = std::string;
  struct Entry {
    std::filesystem::path host;
    bool existed = false;  // on the disk before the run
    bool isFolder = false;
    bool removed = false;  // taken away by the run
    std::uint8_t attribute = ATTR_NORMAL;
    std::time_t modificationTime = 0;
    std::shared_ptr<SpilledContent> content;  // null: empty
    std::size_t order = 0;
  };

  std::optional<Key> KeyOf(std::string_view path) const;
  const Entry* Find(const std::optional<Key>& key) const;
  bool IsPresent(std::string_view path) const { return Exists(path) == Presence::Present; }
  bool FolderOfExists(std::string_view path) const;
  bool RefusesOverwrite(std::string_view path) const;
  // The content now at `path`, shared with it; null when it cannot be read.
  std::shared_ptr<SpilledContent> ContentOf(std::string_view path);
  // The entry that now holds `path`, created from the disk's state.
  Entry& Touch(const Key& key, std::string_view path);
  void Store(std::string_view path, std::shared_ptr<SpilledContent> content);

  std::shared_ptr<SpillFolder> spill_;
  std::map<Key, Entry> entries_;
  std::size_t nextOrder_ = 0;
};

}  // namespace tovrin
