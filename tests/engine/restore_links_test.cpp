// The journal and links: old files kept by link (the old file itself),
// by copy where links are impossible; records and folders that point
// outside the product, or are links, are never followed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/run_journal.hpp"
#include "tests/engine/restore_support.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

ino_t InodeOf(const fs::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_ino;
}

TEST(Restore, ASuccessfulRunIsTakenBackExactlyWithLinksOrWithCopies) {
  for (const bool linksWork : {true, false}) {
    SCOPED_TRACE(linksWork ? "hard links" : "no hard links");
    UpdateWorld world;
    RefusingJournalFiles store;
    store.linksWork = linksWork;
    world.journalFiles = &store;
    DescribeRichUpdate(world);
    const auto before = Tree(world);
    const ino_t oldProgram = InodeOf(world.Product() / "PROG.EXE");

    EXPECT_EQ(world.Run(), 1);
    ASSERT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
    EXPECT_EQ(world.ReadProduct("PROG.EXE"), "new program");

    // The kept old program is the old file itself, never a copy, where links work.
    bool found = false;
    for (const auto& entry : fs::directory_iterator(world.Product() / kBookkeepingFolderName /
                                                    "journal" / "last" / "kept")) {
      found = found || InodeOf(entry.path()) == oldProgram;
    }
    EXPECT_EQ(found, linksWork);

    const auto undone = RunJournal::UndoLast(store, world.Product());
    ASSERT_TRUE(undone.has_value());
    EXPECT_TRUE(undone->Complete());
    EXPECT_EQ(Tree(world), before);
    EXPECT_FALSE(RunJournal::UndoLast(store, world.Product()).has_value()) << "only once";
  }
}

TEST(Restore, AnUndoActsOnNoJournalRecordThatPointsOutsideTheProduct) {
  UpdateWorld world;
  RefusingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  const auto before = Tree(world);
  ASSERT_EQ(world.Run(), 1);

  const fs::path outside = world.Product().parent_path();
  for (const char* name : {"added-elsewhere", "kept-elsewhere"}) {
    std::ofstream(outside / name) << "not the product's";
  }
  std::ofstream(world.Product() / kBookkeepingFolderName / "journal" / "last" / "entries",
                std::ios::app)
      << "A ../added-elsewhere\nK 1 ../kept-elsewhere\nK ../../x PROG.EXE\nA " << outside.string()
      << "/added-elsewhere\n";

  const auto undone = RunJournal::UndoLast(store, world.Product());
  ASSERT_TRUE(undone.has_value());
  EXPECT_EQ(undone->notRestored.size(), 4u);
  EXPECT_EQ(Tree(world), before);
  for (const char* name : {"added-elsewhere", "kept-elsewhere"}) {
    std::ifstream file(outside / name);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "not the product's") << name;
  }
}

// A link planted where the journal lives is never followed: the run is
// refused before it touches the product, and the undo does nothing.
TEST(Restore, AJournalFolderThatIsALinkIsNeverWrittenThrough) {
  for (const char* planted : {"journal", "journal/run", "journal/last"}) {
    SCOPED_TRACE(planted);
    UpdateWorld world;
    RefusingJournalFiles store;
    world.journalFiles = &store;
    DescribeRichUpdate(world);
    const auto before = Tree(world);
    const fs::path elsewhere = world.Product().parent_path() / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path link = world.Product() / kBookkeepingFolderName / planted;
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(elsewhere, link);

    world.Run();
    EXPECT_EQ(Tree(world), before);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    const auto undone = RunJournal::UndoLast(store, world.Product());
    ASSERT_TRUE(undone.has_value());
    EXPECT_FALSE(undone->Complete());
    EXPECT_TRUE(fs::is_empty(elsewhere));
  }
}

}  // namespace
}  // namespace tovrin::testing
