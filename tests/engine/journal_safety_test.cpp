// A restore or an undo acts only on what it reaches without following a
// link, names everything it could not put back, says "back" only when it
// is, and never blocks the product for a difference it has named.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/run_journal.hpp"
#include "tests/engine/restore_support.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;

fs::path LastJournal(const UpdateWorld& world) {
  return world.Product() / kBookkeepingFolderName / "journal" / "last";
}

void Append(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::app | std::ios::binary) << text;
}

bool Shown(const UpdateWorld& world, const std::string& text) {
  const auto boxes = world.ui.Transcript();
  return std::any_of(boxes.begin(), boxes.end(),
                     [&](const std::string& box) { return box.find(text) != std::string::npos; });
}

struct Planted {
  const char* name;
  // Plants a link (or a record) after the update; `elsewhere` is outside the product.
  std::function<void(UpdateWorld&, const fs::path& elsewhere)> plant;
  const char* named;  // a product path the undo must name as not put back
};

TEST(JournalSafety, AnUndoFollowsNoLinkInTheProductOrItsJournal) {
  const Planted cases[] = {
      {"a replaced file's folder",
       [](UpdateWorld& w, const fs::path& elsewhere) {
         fs::remove_all(w.Product() / "DOC");
         fs::create_directory_symlink(elsewhere, w.Product() / "DOC");
       },
       "DOC/README.TXT"},
      {"a folder the update made",
       [](UpdateWorld& w, const fs::path& elsewhere) {
         fs::remove_all(w.Product() / "HELP");
         fs::create_directory_symlink(elsewhere, w.Product() / "HELP");
       },
       "HELP/index.htm"},
      {"the kept files' folder",
       [](UpdateWorld& w, const fs::path& elsewhere) {
         fs::remove_all(LastJournal(w) / "kept");
         fs::create_directory_symlink(elsewhere, LastJournal(w) / "kept");
       },
       "PROG.EXE"},
      {"a record through a link",
       [](UpdateWorld& w, const fs::path& elsewhere) {
         fs::create_directory_symlink(elsewhere, w.Product() / "lnk");
         Append(LastJournal(w) / "entries", "A lnk/victim\n");
       },
       "lnk/victim"},
      {"an outside folder's records of no master",
       [](UpdateWorld& w, const fs::path& elsewhere) {
         Append(LastJournal(w) / "entries",
                "O 9 " + elsewhere.string() + "\nA@9 victim\nK@9 1 README.TXT\n");
       },
       nullptr},
      {"a NUL in a name",
       [](UpdateWorld& w, const fs::path&) {
         Append(LastJournal(w) / "entries", "A OTHER.TXT%00junk\n");
       },
       nullptr},
  };
  for (const Planted& planted : cases) {
    SCOPED_TRACE(planted.name);
    UpdateWorld world;
    RefusingJournalFiles store;
    world.journalFiles = &store;
    DescribeRichUpdate(world);
    world.WriteProduct("OTHER.TXT", "not the update's");
    ASSERT_EQ(world.Run(), 1);
    ASSERT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
    const fs::path elsewhere = world.Product().parent_path() / "elsewhere";
    fs::create_directories(elsewhere);
    for (const char* name : {"README.TXT", "index.htm", "victim", "1", "2", "3"}) {
      std::ofstream(elsewhere / name) << "outside";
    }
    planted.plant(world, elsewhere);
    const auto outside = Tree(elsewhere);

    const auto undone = RunJournal::UndoLast(store, world.Product());

    ASSERT_TRUE(undone.has_value());
    EXPECT_FALSE(undone->Complete());
    if (planted.named) {
      EXPECT_THAT(undone->notRestored, Contains(fs::path(planted.named)));
    }
    EXPECT_EQ(Tree(elsewhere), outside);
    EXPECT_EQ(world.ReadProduct("OTHER.TXT"), "not the update's");
  }
}

TEST(JournalSafety, AKeptFileMissingFromTheJournalIsNamedNeverTakenAsPutBack) {
  UpdateWorld world;
  RefusingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  ASSERT_EQ(world.Run(), 1);
  fs::remove_all(LastJournal(world) / "kept");
  fs::create_directory(LastJournal(world) / "kept");

  const auto undone = RunJournal::UndoLast(store, world.Product());

  ASSERT_TRUE(undone.has_value());
  EXPECT_THAT(undone->notRestored, Contains(fs::path("PROG.EXE")));
  EXPECT_THAT(undone->notRestored, Contains(fs::path("DOC/README.TXT")));
  EXPECT_TRUE(JournalLeft(world, "run")) << "kept to be tried again";
}

TEST(JournalSafety, AFolderTheUserSavedIntoIsLeftNamedAndBlocksNoLaterRun) {
  UpdateWorld world;
  RefusingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  auto expected = Tree(world);
  ASSERT_EQ(world.Run(), 1);
  world.WriteProduct("HELP/mine.txt", "the user's own");
  const auto after = Tree(world);
  expected["HELP"] = after.at("HELP");
  expected["HELP/mine.txt"] = after.at("HELP/mine.txt");

  const auto undone = RunJournal::UndoLast(store, world.Product());

  ASSERT_TRUE(undone.has_value());
  EXPECT_TRUE(undone->notRestored.empty());
  EXPECT_EQ(undone->leftInPlace, std::vector<fs::path>{"HELP"});
  EXPECT_EQ(Tree(world), expected);
  EXPECT_FALSE(JournalLeft(world, "run"));
  EXPECT_FALSE(RunJournal::UndoLast(store, world.Product()).has_value());
  EXPECT_EQ(world.Run(), 1);
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
}

struct KeepingFault {
  const char* name;
  std::function<void(RefusingJournalFiles&)> inject;
  bool undoable;  // the newest journal survives whole
};

// The second of two runs cannot keep its journal: it says so, and either
// its journal is kept whole for --undo, or none is and --undo says so.
TEST(JournalSafety, AJournalThatCannotBeKeptIsReportedAndNeverMixed) {
  const KeepingFault faults[] = {
      {"its mark", [](RefusingJournalFiles& s) { s.failAppendTo = "applied"; }, false},
      {"setting the older aside", [](RefusingJournalFiles& s) { s.failMoveOf = "last"; }, true},
      {"moving it in place", [](RefusingJournalFiles& s) { s.failMoveOf = "run"; }, true},
      {"removing what was set aside",
       [](RefusingJournalFiles& s) { s.failRemoveTreeOf = "retired"; }, true},
  };
  for (const KeepingFault& fault : faults) {
    SCOPED_TRACE(fault.name);
    UpdateWorld world;
    RefusingJournalFiles store;
    world.journalFiles = &store;
    DescribeRichUpdate(world);
    ASSERT_EQ(world.Run(), 1);
    const auto first = Tree(world);
    world.WriteArchive("START1.lzh", {{"PROG.EXE", "newer program"}});
    fault.inject(store);

    world.Run();

    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
    EXPECT_TRUE(Shown(world, "元に戻すための記録を保存できませんでした"));
    EXPECT_EQ(world.ReadProduct("PROG.EXE"), "newer program");
    store.failAppendTo = store.failMoveOf = store.failRemoveTreeOf = "";
    EXPECT_FALSE(RunJournal::RecoverKilledRun(store, world.Product()).has_value());
    const auto undone = RunJournal::UndoLast(store, world.Product());
    EXPECT_EQ(undone.has_value(), fault.undoable);
    if (!fault.undoable) continue;
    EXPECT_TRUE(undone->Complete());
    EXPECT_EQ(Tree(world), first);
  }
}

TEST(JournalSafety, AJournalThatCouldNotBeginLeavesNothingToRestoreAtTheNextStart) {
  UpdateWorld world;
  RefusingJournalFiles store;
  world.journalFiles = &store;
  DescribeRichUpdate(world);
  const auto before = Tree(world);
  store.failAppendTo = "entries";
  world.Run();
  EXPECT_EQ(Tree(world), before);
  EXPECT_FALSE(JournalLeft(world, "run"));

  // As a run killed before its first change leaves it.
  const fs::path run = world.Product() / kBookkeepingFolderName / "journal" / "run";
  fs::create_directories(run / "kept");
  std::ofstream(run / "entries").flush();
  store.failAppendTo.clear();
  const std::size_t boxesBefore = world.ui.Transcript().size();
  world.Run();
  const auto boxes = world.ui.Transcript();
  EXPECT_THAT(std::vector<std::string>(boxes.begin() + static_cast<long>(boxesBefore), boxes.end()),
              ::testing::Not(Contains(kRestored)));
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
}

}  // namespace
}  // namespace tovrin::testing
