#pragma once
// What the restore tests share: a rich update, the product's tree as it
// stands, and a journal store that refuses on demand over the system's own.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/journal_files.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {

inline const std::string kRestored = "確認: 更新前の状態に戻しました。 [OK]";

struct ProductEntry {
  std::string content;  // "<dir>" for a folder
  std::filesystem::perms permissions{};
  long long modified = 0;
  bool operator==(const ProductEntry&) const = default;
};

// Every file and folder of the product (not its bookkeeping): content,
// permissions (the read-only attribute on Windows) and modification time.
std::map<std::string, ProductEntry> Tree(const UpdateWorld& world);

bool JournalLeft(const UpdateWorld& world, const char* which);

// A version written into the settings, a new folder, a replaced file with
// permissions of its own, new and replaced members; LAST on disk 2 when the
// medium is removable.
void DescribeRichUpdate(UpdateWorld& world);

class RefusingJournalFiles : public JournalFiles {
 public:
  LinkResult Link(const std::filesystem::path& file, const std::filesystem::path& kept) override;
  bool CopyWhole(const std::filesystem::path& file, const std::filesystem::path& kept) override {
    return real_->CopyWhole(file, kept);
  }
  bool FlushFolder(const std::filesystem::path& folder) override { return real_->FlushFolder(folder); }
  bool AppendDurably(const std::filesystem::path& file, std::string_view bytes) override {
    return real_->AppendDurably(file, bytes);
  }
  std::optional<std::string> ReadWhole(const std::filesystem::path& file) const override {
    return real_->ReadWhole(file);
  }
  bool MoveBack(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return !restoreFails && real_->MoveBack(from, to);
  }
  bool MakeFolders(const std::filesystem::path& folder) override { return real_->MakeFolders(folder); }
  bool RemoveEntry(const std::filesystem::path& path) override {
    return !restoreFails && real_->RemoveEntry(path);
  }
  bool RemoveTree(const std::filesystem::path& folder) override { return real_->RemoveTree(folder); }
  bool Exists(const std::filesystem::path& path) const override { return real_->Exists(path); }

  std::string failOn;
  bool linksWork = true;
  bool restoreFails = false;

 private:
  std::unique_ptr<JournalFiles> real_ = MakeJournalFiles();
};

}  // namespace tovrin::testing
