#include "tests/engine/restore_support.hpp"

#include <fstream>
#include <iterator>

#include "engine/run_journal.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

std::map<std::string, ProductEntry> Tree(const fs::path& root) {
  std::map<std::string, ProductEntry> tree;
  const fs::recursive_directory_iterator end;
  for (auto entry = fs::recursive_directory_iterator(root); entry != end; ++entry) {
    if (entry->path().filename() == kBookkeepingFolderName) {
      entry.disable_recursion_pending();
      continue;
    }
    const fs::file_status status = fs::symlink_status(entry->path());
    const bool file = status.type() == fs::file_type::regular;
    std::string content = status.type() == fs::file_type::symlink ? "<link>" : "<dir>";
    if (file) {
      std::ifstream in(entry->path(), std::ios::binary);
      content.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string relative = entry->path().lexically_relative(root).generic_string();
    tree[relative] = {
        content, status.type(), status.permissions(),
        file ? static_cast<long long>(fs::last_write_time(entry->path()).time_since_epoch().count())
             : 0};
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
  fs::permissions(world.Product() / "PROG.EXE",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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
  return Real().Link(file, kept);
}

bool RefusingJournalFiles::AppendDurably(const fs::path& file, std::string_view bytes) {
  return file.filename() != failAppendTo && Real().AppendDurably(file, bytes);
}

bool RefusingJournalFiles::MoveBack(const fs::path& from, const fs::path& to) {
  return !restoreFails && from.filename() != failMoveOf && Real().MoveBack(from, to);
}

bool RefusingJournalFiles::RemoveEntry(const fs::path& path) {
  return !restoreFails && Real().RemoveEntry(path);
}

bool RefusingJournalFiles::RemoveTree(const fs::path& folder) {
  return folder.filename() != failRemoveTreeOf && Real().RemoveTree(folder);
}

EntryKind RefusingJournalFiles::KindOf(const fs::path& path) const {
  return path.filename() == unknownOn ? EntryKind::Unknown : Real().KindOf(path);
}

}  // namespace tovrin::testing
