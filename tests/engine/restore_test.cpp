// A run that fails puts the product back byte for byte; a successful run
// can be taken back; the journal keeps old files by link, by copy where
// links are impossible.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string_view>
#include <tuple>

#include "engine/run_journal.hpp"
#include "tests/engine/restore_support.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

struct FailureCase {
  const char* name;
  DriveType medium;
  std::function<void(UpdateWorld&, RefusingJournalFiles&)> inject;
  UpdateOutcome outcome;
};

TEST(Restore, ARunStoppedAtEachKindOfFailurePutsTheProductBackByteForByte) {
  // Commands on a fixed medium: t START1, t HELP, t LAST, e START1, e HELP, e LAST.
  const FailureCase cases[] = {
      {"an extraction fails", DRIVE_FIXED,
       [](UpdateWorld& w, RefusingJournalFiles&) { w.archives().FailCommand(5, "stop"); },
       UpdateOutcome::Stopped},
      {"a copy is refused", DRIVE_FIXED,
       [](UpdateWorld& w, RefusingJournalFiles&) {
         fs::permissions(w.Product() / "DOC" / "README.TXT", fs::perms::owner_read);
       },
       UpdateOutcome::Stopped},
      {"an error reaches the run's edge", DRIVE_FIXED,
       [](UpdateWorld& w, RefusingJournalFiles&) { w.archives().ThrowOnCommand(4); },
       UpdateOutcome::Failed},
      {"the journal cannot keep a file", DRIVE_FIXED,
       [](UpdateWorld&, RefusingJournalFiles& store) { store.failOn = "README.TXT"; },
       UpdateOutcome::Stopped},
      {"the journal cannot look at a file", DRIVE_FIXED,
       [](UpdateWorld&, RefusingJournalFiles& store) { store.unknownOn = "README.TXT"; },
       UpdateOutcome::Stopped},
      {"the next disk is not given", DRIVE_REMOVABLE,
       [](UpdateWorld& w, RefusingJournalFiles&) { w.ui.Answer(IDCANCEL); },
       UpdateOutcome::Cancelled},
      {"the next disk fails its check", DRIVE_REMOVABLE,
       [](UpdateWorld& w, RefusingJournalFiles&) {
         w.ui.Answer(IDOK, [&w] { w.WriteMedium("LAST.lzh", "not an archive any more"); });
       },
       UpdateOutcome::Stopped},
  };
  for (const FailureCase& failure : cases) {
    SCOPED_TRACE(failure.name);
    UpdateWorld world(failure.medium);
    RefusingJournalFiles store;
    world.journalFiles = &store;
    DescribeRichUpdate(world);
    failure.inject(world, store);
    const auto before = Tree(world);

    EXPECT_EQ(world.Run(), 1);

    EXPECT_EQ(world.run().Outcome(), failure.outcome);
    ASSERT_FALSE(world.ui.Transcript().empty());
    EXPECT_EQ(world.ui.Transcript().back(), kRestored);
    EXPECT_EQ(Tree(world), before);
    EXPECT_FALSE(JournalLeft(world, "run"));
    EXPECT_FALSE(JournalLeft(world, "last"));
  }
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

    EXPECT_EQ(world.Run(), 1);
    ASSERT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
    EXPECT_EQ(world.ReadProduct("PROG.EXE"), "new program");

    // The kept old program is the old file itself, never a copy, where links work.
    struct stat kept {};
    bool found = false;
    for (const auto& entry : fs::directory_iterator(world.Product() / kBookkeepingFolderName /
                                                    "journal" / "last" / "kept")) {
      ::stat(entry.path().c_str(), &kept);
      found = found || kept.st_ino == before.at("PROG.EXE").inode;
    }
    EXPECT_EQ(found, linksWork);

    const auto undone = RunJournal::UndoLast(store, world.Product());
    ASSERT_TRUE(undone.has_value());
    EXPECT_TRUE(undone->Complete());
    EXPECT_EQ(Tree(world), before);
    EXPECT_FALSE(RunJournal::UndoLast(store, world.Product()).has_value()) << "only once";
  }
}

// Records when a kept old file is flushed and when the journal's records
// are appended: a record naming a kept file that a crash could still lose
// would undo into nothing.
class RecordingJournalFiles : public RefusingJournalFiles {
 public:
  LinkResult Link(const fs::path& file, const fs::path& kept) override {
    const LinkResult result = RefusingJournalFiles::Link(file, kept);
    if (result == LinkResult::Linked) unflushed.insert(kept.filename());
    return result;
  }
  bool CopyWhole(const fs::path& file, const fs::path& kept) override {
    unflushed.insert(kept.filename());
    return RefusingJournalFiles::CopyWhole(file, kept);
  }
  bool FlushFolder(const fs::path& folder) override {
    if (folder.filename() == "kept") unflushed.clear();
    return RefusingJournalFiles::FlushFolder(folder);
  }
  bool AppendDurably(const fs::path& file, std::string_view bytes) override {
    for (const auto& kept : unflushed) {
      if (bytes.find("K " + kept.string() + " ") != std::string_view::npos)
        appendedBeforeFlush.push_back(kept.string());
    }
    const bool keptRecord =
        bytes.starts_with("K ") || bytes.find("\nK ") != std::string_view::npos;
    if (keptRecord) ++keptRecordsAppended;
    return RefusingJournalFiles::AppendDurably(file, bytes);
  }
  std::set<fs::path> unflushed;
  std::vector<std::string> appendedBeforeFlush;
  int keptRecordsAppended = 0;
};

TEST(Restore, AKeptFileReachesTheDiskBeforeTheRecordThatNamesIt) {
  for (const bool linksWork : {true, false}) {
    SCOPED_TRACE(linksWork ? "hard links" : "no hard links");
    UpdateWorld world;
    RecordingJournalFiles store;
    store.linksWork = linksWork;
    world.journalFiles = &store;
    DescribeRichUpdate(world);

    EXPECT_EQ(world.Run(), 1);

    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
    EXPECT_GT(store.keptRecordsAppended, 0);
    EXPECT_THAT(store.appendedBeforeFlush, ::testing::IsEmpty());
  }
}

TEST(Restore, WhatCannotBePutBackIsNamedAndPutBackAtTheNextStart) {
  UpdateWorld world;
  RefusingJournalFiles store;
  store.restoreFails = true;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  const auto before = Tree(world);
  world.archives().FailCommand(5, "stop");

  EXPECT_EQ(world.Run(), 1);

  const std::string notRestored = world.ui.Transcript().back();
  EXPECT_THAT(notRestored, ::testing::StartsWith("確認: 更新前の状態に戻せませんでした。"));
  EXPECT_THAT(notRestored, ::testing::HasSubstr("C:\\PROG\\PROG.EXE"));
  EXPECT_THAT(notRestored, ::testing::HasSubstr("C:\\PROG\\HELP"));
  EXPECT_TRUE(JournalLeft(world, "run"));

  // As after a run that was killed: the next start puts it back first.
  store.restoreFails = false;
  const std::size_t boxesBefore = world.ui.Transcript().size();
  EXPECT_EQ(world.Run(), 1);

  ASSERT_GT(world.ui.Transcript().size(), boxesBefore);
  EXPECT_EQ(world.ui.Transcript()[boxesBefore], kRestored);
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  EXPECT_EQ(world.ReadProduct("PROG.EXE"), "new program");
  // Its own journal was begun on the product as it was before.
  EXPECT_TRUE(RunJournal::UndoLast(store, world.Product())->Complete());
  EXPECT_EQ(Tree(world), before);
}

// Puts back a given number of files, then fails, as an undo that was killed.
class StoppingJournalFiles : public RefusingJournalFiles {
 public:
  bool MoveBack(const fs::path& from, const fs::path& to) override {
    return movesLeft-- > 0 && RefusingJournalFiles::MoveBack(from, to);
  }
  int movesLeft = 1 << 30;
};

TEST(Restore, AnUndoStoppedMidwayIsFinishedAtTheNextStart) {
  UpdateWorld world;
  StoppingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  const auto before = Tree(world);
  ASSERT_EQ(world.Run(), 1);

  store.movesLeft = 2;
  EXPECT_FALSE(RunJournal::UndoLast(store, world.Product())->Complete());
  store.movesLeft = 1 << 30;
  const std::size_t boxesBefore = world.ui.Transcript().size();
  EXPECT_EQ(world.Run(), 1);

  ASSERT_GT(world.ui.Transcript().size(), boxesBefore);
  EXPECT_EQ(world.ui.Transcript()[boxesBefore], kRestored);
  EXPECT_TRUE(RunJournal::UndoLast(store, world.Product())->Complete());
  EXPECT_EQ(Tree(world), before);
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
