#pragma once
// What the tests of the journal share: the product's tree to compare, a rich
// update to run, and the journal's file operations with faults to switch on.

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "platform/posix/journal_files.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {

inline const std::string kRestored = "確認: 更新前の状態に戻しました。 [OK]";

struct Stat {
  std::string content;
  unsigned mode = 0;
  long long modified = 0;
  ino_t inode = 0;
  auto Key() const { return std::tie(content, mode, modified); }
  bool operator==(const Stat& other) const { return Key() == other.Key(); }
};

// Every file and folder below `root` (not the bookkeeping): content, mode and
// modification time.
std::map<std::string, Stat> Tree(const std::filesystem::path& root);
inline std::map<std::string, Stat> Tree(const UpdateWorld& world) { return Tree(world.Product()); }

bool JournalLeft(const UpdateWorld& world, const char* which);

// A version written into the settings, a new folder, a replaced file with
// a mode of its own, new and replaced members; LAST on disk 2 when the medium is removable.
void DescribeRichUpdate(UpdateWorld& world);

class RefusingJournalFiles : public PosixJournalFiles {
 public:
  LinkResult Link(const std::filesystem::path& file, const std::filesystem::path& kept) override;
  bool MoveBack(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool RemoveEntry(const std::filesystem::path& path) override;
  bool RemoveTree(const std::filesystem::path& folder) override;
  bool AppendDurably(const std::filesystem::path& file, std::string_view bytes) override;
  EntryKind KindOf(const std::filesystem::path& path) const override;

  std::string failOn;  // the file name whose link fails
  bool linksWork = true;
  bool restoreFails = false;
  // File names whose operation fails; a look at `unknownOn` fails.
  std::string failMoveOf, failRemoveTreeOf, failAppendTo, unknownOn;
};

}  // namespace tovrin::testing
