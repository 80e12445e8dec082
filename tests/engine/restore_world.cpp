#include "tests/engine/restore_world.hpp"

#include "engine/run_journal.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

std::map<std::string, ProductEntry> Tree(const UpdateWorld& world) {
  std::map<std::string, ProductEntry> tree;
  const fs::recursive_directory_iterator end;
  for (auto entry = fs::recursive_directory_iterator(world.Product()); entry != end; ++entry) {
    if (entry->path().filename() == kBookkeepingFolderName) {
      entry.disable_recursion_pending();
      continue;
    }
    const std::string relative = entry->path().lexically_relative(world.Product()).generic_string();
    const bool file = fs::is_regular_file(fs::symlink_status(entry->path()));
    tree[relative] = {file ? world.ReadProduct(relative) : "<dir>", fs::status(entry->path()).permissions(),
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
  return real_->Link(file, kept);
}

}  // namespace tovrin::testing
