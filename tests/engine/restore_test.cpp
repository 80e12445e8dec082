// A run that fails puts the product back byte for byte, over the file
// system of the system the tests run on: every kind of failure, a kept file
// flushed before its record, what could not be put back finished at the
// next start, an undo stopped midway.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string_view>
#include <vector>

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
    const bool keptRecord = bytes.starts_with("K ") || bytes.find("\nK ") != std::string_view::npos;
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

// A product file another program holds open without sharing, as Windows
// holds it: no name of it can be replaced or removed, nor a folder holding one.
class HoldingJournalFiles : public RefusingJournalFiles {
 public:
  bool MoveBack(const fs::path& from, const fs::path& to) override {
    return !Holds(to) && RefusingJournalFiles::MoveBack(from, to);
  }
  bool RemoveEntry(const fs::path& path) override {
    return !Holds(path) && RefusingJournalFiles::RemoveEntry(path);
  }
  bool RemoveTree(const fs::path& folder) override {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
      if (Holds(entry.path())) return false;
    }
    return RefusingJournalFiles::RemoveTree(folder);
  }
  // The very file, or its kept name.
  bool Holds(const fs::path& path) const { return !held.empty() && Unchanged(path, held); }
  fs::path held;
};

TEST(Restore, AFileHeldOpenIsBackThoughItsKeptNameStaysUntilTheNextStart) {
  UpdateWorld world;
  HoldingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  world.files().failReplaceOf = "C:\\PROG\\DOC\\README.TXT";
  store.held = world.Product() / "DOC" / "README.TXT";
  const auto before = Tree(world);

  // The second run, the file still held, finds the first one's leftover in its way in nothing.
  for (int run = 1; run <= 2; ++run) {
    EXPECT_EQ(world.Run(), 1);
    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Stopped);
    EXPECT_EQ(world.ui.Transcript().back(), kRestored);
    EXPECT_EQ(Tree(world), before);
    EXPECT_FALSE(JournalLeft(world, "run"));
    EXPECT_TRUE(JournalLeft(world, "spent"));
  }

  // Released: the next start removes it without a word of a recovered run.
  store.held.clear();
  world.files().failReplaceOf.clear();
  const std::size_t boxesBefore = world.ui.Transcript().size();
  EXPECT_EQ(world.Run(), 1);
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  const auto boxes = world.ui.Transcript();
  EXPECT_EQ(
      std::count(boxes.begin() + static_cast<std::ptrdiff_t>(boxesBefore), boxes.end(), kRestored),
      0);
  EXPECT_FALSE(JournalLeft(world, "spent"));
}

}  // namespace
}  // namespace tovrin::testing
