#include "tests/engine/restore_support.hpp"

#include <fstream>
#include <iterator>

namespace tovrin::testing {

namespace fs = std::filesystem;

std::map<std::string, Stat> Tree(const fs::path& root) {
  std::map<std::string, Stat> tree;
  const fs::recursive_directory_iterator end;
  for (auto entry = fs::recursive_directory_iterator(root); entry != end; ++entry) {
    if (entry->path().filename() == kBookkeepingFolderName) {
      entry.disable_recursion_pending();
      continue;
    }
    struct stat status {};
    ::lstat(entry->path().c_str(), &status);
    const std::string relative = entry->path().lexically_relative(root).string();
    const bool file = S_ISREG(status.st_mode);
    std::string content = file ? "" : "<dir>";
    if (file) {
      std::ifstream in(entry->path(), std::ios::binary);
      content.assign(std::istreambuf_iterator<char>(in), {});
    }
    tree[relative] = {content, status.st_mode, file ? static_cast<long long>(status.st_mtime) : 0,
                      status.st_ino};
  }
  return tree;
}

bool JournalLeft(const UpdateWorld& world, const char* which) {
  return fs::exists(world.Product() / kBookkeepingFolderName / "journal" / which);
}

void DescribeRichUpdate(UpdateWorld& world) {
  world.MakeVelsorProduct();
  world.WriteProduct("PROG.EXE", "old program");
  world.WriteProduct("DOC/README.TXT", "old text");
  fs::permissions(world.Product() / "PROG.EXE", fs::perms::owner_read | fs::perms::owner_write |
                                                  fs::perms::group_read);
  world.DescribeUpdate();
  world.AddRecord(1, 1, "START", "");
  world.AddRecord(1, 1, "HELP", "HELP\\");
  world.AddRecord(1, 0, "README.TXT", "DOC\\");
  world.AddRecord(2, 1, "LAST", "");
  world.WriteArchive("START1.lzh", {{"PROG.EXE", "new program"}, {"NEW.DAT", "new"}});
  world.WriteArchive("HELP.lzh", {{"index.htm", "<p>help</p>"}});
  world.WriteMedium("README.TXT", "new text");
  world.WriteArchive("LAST.lzh", {{"last.dat", "last"}});
}

LinkResult RefusingJournalFiles::Link(const fs::path& file, const fs::path& kept) {
  if (file.filename() == failOn) return LinkResult::Failed;
  if (!linksWork) return LinkResult::Unsupported;
  return PosixJournalFiles::Link(file, kept);
}

bool RefusingJournalFiles::MoveBack(const fs::path& from, const fs::path& to) {
  return !restoreFails && from.filename() != failMoveOf && PosixJournalFiles::MoveBack(from, to);
}

bool RefusingJournalFiles::RemoveEntry(const fs::path& path) {
  return !restoreFails && PosixJournalFiles::RemoveEntry(path);
}

bool RefusingJournalFiles::RemoveTree(const fs::path& folder) {
  return folder.filename() != failRemoveTreeOf && PosixJournalFiles::RemoveTree(folder);
}

bool RefusingJournalFiles::AppendDurably(const fs::path& file, std::string_view bytes) {
  return file.filename() != failAppendTo && PosixJournalFiles::AppendDurably(file, bytes);
}

EntryKind RefusingJournalFiles::KindOf(const fs::path& path) const {
  return path.filename() == unknownOn ? EntryKind::Unknown : PosixJournalFiles::KindOf(path);
}

}  // namespace tovrin::testing
