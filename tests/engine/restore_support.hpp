#pragma once
// What the tests of the journal share: the product's tree to compare, a rich
// update to run, and the journal's file operations of the system the tests
// run on, with faults to switch on.

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/journal_files.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {

inline const std::string kRestored = "確認: 更新前の状態に戻しました。 [OK]";

struct ProductEntry {
  std::string content;  // "<dir>" for a folder, "<link>" for a link
  std::filesystem::file_type type{};
  std::filesystem::perms permissions{};  // the read-only attribute on Windows
  long long modified = 0;
  bool operator==(const ProductEntry&) const = default;
};

// Every file, folder and link below `root` (not the bookkeeping), as seen
// without following a link: content, kind, permissions, modification time.
std::map<std::string, ProductEntry> Tree(const std::filesystem::path& root);
inline std::map<std::string, ProductEntry> Tree(const UpdateWorld& world) {
  return Tree(world.Product());
}

bool JournalLeft(const UpdateWorld& world, const char* which);

// A version written into the settings, a new folder, a replaced file with
// permissions of its own, new and replaced members; LAST on disk 2 when the
// medium is removable.
void DescribeRichUpdate(UpdateWorld& world);

class RefusingJournalFiles : public JournalFiles {
 public:
  LinkResult Link(const std::filesystem::path& file, const std::filesystem::path& kept) override;
  bool CopyWhole(const std::filesystem::path& file, const std::filesystem::path& kept) override {
    return Real().CopyWhole(file, kept);
  }
  bool FlushFolder(const std::filesystem::path& folder) override {
    return Real().FlushFolder(folder);
  }
  bool AppendDurably(const std::filesystem::path& file, std::string_view bytes) override;
  std::optional<std::string> ReadWhole(const std::filesystem::path& file) const override {
    return Real().ReadWhole(file);
  }
  bool MoveBack(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool Unchanged(const std::filesystem::path& kept,
                 const std::filesystem::path& file) const override {
    return Real().Unchanged(kept, file);
  }
  bool MakeFolders(const std::filesystem::path& folder) override {
    return Real().MakeFolders(folder);
  }
  bool RemoveEntry(const std::filesystem::path& path) override;
  bool RemoveTree(const std::filesystem::path& folder) override;
  EntryKind KindOf(const std::filesystem::path& path) const override;

  std::string failOn;  // the file name whose link fails
  bool linksWork = true;
  bool restoreFails = false;
  // File names whose operation fails; a look at `unknownOn` fails.
  std::string failMoveOf, failRemoveTreeOf, failAppendTo, unknownOn;

 private:
  // The system's own, confined where this one is.
  JournalFiles& Real() const {
    PassConfinementTo(*real_);
    return *real_;
  }
  std::unique_ptr<JournalFiles> real_ = MakeJournalFiles();
};

}  // namespace tovrin::testing
