#pragma once
// The journal's file operations for a dry run: every write succeeds and
// keeps nothing, and no journal is ever found, so a dry run neither leaves a
// journal in the product nor takes back one a real run left there.

#include "platform/journal_files.hpp"

namespace tovrin {

class DryRunJournalFiles : public JournalFiles {
 public:
  LinkResult Link(const std::filesystem::path&, const std::filesystem::path&) override {
    return LinkResult::Linked;
  }
  bool CopyWhole(const std::filesystem::path&, const std::filesystem::path&) override {
    return true;
  }
  bool FlushFolder(const std::filesystem::path&) override { return true; }
  bool AppendDurably(const std::filesystem::path&, std::string_view) override { return true; }
  std::optional<std::string> ReadWhole(const std::filesystem::path&) const override {
    return std::nullopt;
  }
  bool MoveBack(const std::filesystem::path&, const std::filesystem::path&) override {
    return true;
  }
  bool Unchanged(const std::filesystem::path&, const std::filesystem::path&) const override {
    return true;
  }
  bool MakeFolders(const std::filesystem::path&) override { return true; }
  bool RemoveEntry(const std::filesystem::path&) override { return true; }
  bool RemoveTree(const std::filesystem::path&) override { return true; }
  EntryKind KindOf(const std::filesystem::path&) const override { return EntryKind::Absent; }
};

}  // namespace tovrin
