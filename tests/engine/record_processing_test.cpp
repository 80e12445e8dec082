// What each record does to the product: the START variant and its version,
// extraction failures, single-file copies, and errors that end the run.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <iterator>

#include "platform/profile.hpp"
#include "tests/engine/update_world.hpp"
#include "tests/support/lzh_writer.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::SizeIs;

constexpr const char* kRestored = "確認: 更新前の状態に戻しました。 [OK]";

// Also counts a copy left behind beside its target.
std::ptrdiff_t FilesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

std::string SettingsVersion(UpdateWorld& world, const std::string& iniName) {
  return GetProfileText(world.files(), "SYSTEM", "Version", "none", 100, "C:\\PROG\\" + iniName);
}

struct StartCase {
  const char* title;  // of velsor1.ini; empty for the tremick1.ini product
  const char* version;
  std::string archive;  // the variant extracted
  std::string writtenVersion;
};

TEST(StartRecord, ExtractsTheProductsVariantAfterWritingTheVersion) {
  const StartCase cases[] = {
      {"KEY03 8.0S", "9.0A", "START3", "9.0A"},
      {"KEY15 8.0S", "9.0A", "START15", "9.0A"},
      {"", "9.0A", "START99", "none"},
      {"KEY03 8.0S", "", "START3", "8"},
  };
  for (const StartCase& start : cases) {
    SCOPED_TRACE(start.archive + " version " + start.version);
    UpdateWorld world;
    world.DescribeUpdate();
    const bool tremick = std::string(start.title).empty();
    if (tremick) {
      world.MakeTremickProduct("2");
      world.WriteProduct("formater.exe", "MZ");
      world.description.m_strIniName = "tremick1.ini";
    } else {
      world.MakeVelsorProduct(start.title);
    }
    world.description.m_strVersion = start.version;
    world.AddRecord(1, 1, "START", "");
    world.WriteArchive("START.lzh", {{"PROG.EXE", "common"}});
    world.WriteArchive(start.archive + ".lzh", {{"PROG.EXE", start.archive}});

    EXPECT_EQ(world.Run(), 1);

    EXPECT_THAT(world.archives().Commands(),
                ElementsAre("t \"A:" + start.archive + ".lzh\"",
                            "e -mcwC:\\windows \"A:" + start.archive + ".lzh\" \"C:\\PROG\\\""));
    EXPECT_EQ(world.ReadProduct("PROG.EXE"), start.archive);
    EXPECT_EQ(world.description.m_strSrcName[0], start.archive);
    const std::string iniName = tremick ? "tremick1.ini" : "velsor1.ini";
    EXPECT_EQ(SettingsVersion(world, iniName), start.writtenVersion);
  }
}

TEST(ArchiveRecord, ABrokenArchiveRefusesTheRunBeforeAnythingIsTouched) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 1, "FIRST", "");
  world.AddRecord(1, 1, "BROKEN", "");
  world.AddRecord(1, 0, "README.TXT", "");
  world.WriteArchive("FIRST.lzh", {{"first.dat", "first"}});
  world.WriteMedium("BROKEN.lzh", "this is not an archive");
  world.WriteMedium("README.TXT", "read me");
  const auto before = world.ProductSnapshot();

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Refused);
  ASSERT_THAT(world.ui.Boxes(), SizeIs(1));
  const RecordedBox& box = world.ui.Boxes()[0];
  // A refusal, as the other refusals are captioned, saying nothing was changed.
  EXPECT_EQ(box.caption, Sjis("エラー"));
  EXPECT_EQ(box.type, MB_OK);
  EXPECT_NE(box.text.find("BROKEN.lzh"), std::string::npos);
  EXPECT_NE(box.text.find(Sjis("製品のファイルは何も変更していません。")), std::string::npos);
  EXPECT_EQ(world.ProductSnapshot(), before);
  EXPECT_FALSE(fs::exists(world.Product() / ".tovrin" / "journal"));
}

#ifndef _WIN32
// A FIFO in place of a medium file used to block the run for ever in open().
TEST(MediumFiles, AFifoInPlaceOfAnArchiveOrAFileStopsTheRunAtOnce) {
  for (const int kind : {1, 0}) {
    SCOPED_TRACE(kind);
    UpdateWorld world;
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    world.AddRecord(1, kind, kind == 1 ? "DATA" : "DATA.LZH", "");
    ASSERT_EQ(::mkfifo((world.Medium() / "DATA.LZH").c_str(), 0666), 0);

    EXPECT_EQ(world.Run(), 1);

    // The medium's check finds it before anything is touched.
    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Refused);
    EXPECT_THAT(world.ui.Boxes(), SizeIs(1));
  }
}
#endif

TEST(ArchiveRecord, ANameWithAnExtensionOpensItsLzhArchiveNeverThePlainFile) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 1, "README.TXT", "");
  world.WriteMedium("README.TXT", "a plain file, no archive");
  world.WriteArchive("README.TXT.lzh", {{"readme.dat", "from the archive"}});

  world.Run();

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  EXPECT_EQ(world.ReadProduct("readme.dat"), "from the archive");
}

TEST(ArchiveRecord, TheSameUpdateAppliesTwiceWithAReadOnlyMember) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 1, "DATA", "");
  LzhEntry readOnly{"master.dat", "read-only master"};
  readOnly.attribute = ATTR_READONLY | ATTR_ARCHIVE;
  WriteStoredLzh(world.Medium() / "DATA.lzh", {readOnly, {"plain.dat", "plain"}});

  for (int application : {1, 2}) {
    SCOPED_TRACE(application);
    world.Run();
    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
    EXPECT_EQ(world.ReadProduct("master.dat"), "read-only master");
    FileStatus status;
    ASSERT_TRUE(world.files().GetStatus("C:\\PROG\\master.dat", status));
    EXPECT_NE(status.attribute & ATTR_READONLY, 0);
  }
}

// A world with one single-file record: A:DOCS\README.TXT into C:\PROG\DOC\.
void DescribeCopy(UpdateWorld& world) {
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 0, "DOCS\\README.TXT", "DOC\\");
  world.WriteMedium("DOCS/README.TXT", "new text");
}

// A new file must not keep the medium's read-only attribute either: a
// replace alone would carry the old target's attributes over.
TEST(CopyRecord, ReplacesOrAddsTheFileAndClearsItsAttributes) {
  for (const bool targetExists : {true, false}) {
    SCOPED_TRACE(targetExists ? "replaced" : "added");
    UpdateWorld world;
    DescribeCopy(world);
    fs::permissions(world.Medium() / "DOCS" / "README.TXT",
                    fs::perms::owner_read | fs::perms::group_read);
    if (targetExists) world.WriteProduct("DOC/README.TXT", "old text");

    EXPECT_EQ(world.Run(), 1);

    EXPECT_EQ(world.ReadProduct("DOC/README.TXT"), "new text");
    FileStatus status;
    ASSERT_TRUE(world.files().GetStatus("C:\\PROG\\DOC\\README.TXT", status));
    // Wine shows every file with the archive bit, whatever was set.
    EXPECT_EQ(status.attribute & ~ATTR_ARCHIVE, ATTR_NORMAL);
    EXPECT_EQ(FilesIn(world.Product() / "DOC"), 1);
  }
}

// CopyFileA refuses a read-only or hidden target; it must stay as it was.
void ExpectTargetKept(UpdateWorld& world) {
  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Stopped);
  EXPECT_THAT(world.ui.Transcript(),
              ElementsAre("確認: C:\\PROG\\DOC\\README.TXTの更新に失敗しました。 [OK]", kRestored));
  EXPECT_EQ(world.ReadProduct("DOC/README.TXT"), "old text");
  EXPECT_EQ(FilesIn(world.Product() / "DOC"), 1);
}

bool MarkTarget(UpdateWorld& world, std::uint8_t attribute) {
  world.WriteProduct("DOC/README.TXT", "old text");
  const std::string target = "C:\\PROG\\DOC\\README.TXT";
  FileStatus status;
  if (!world.files().GetStatus(target, status)) return false;
  status.attribute = attribute;
  return world.files().SetStatus(target, status);
}

TEST(CopyRecord, AReadOnlyTargetStopsTheRunAndStaysAsItWas) {
  UpdateWorld world;
  DescribeCopy(world);
  ASSERT_TRUE(MarkTarget(world, ATTR_READONLY));
  ExpectTargetKept(world);
}

TEST(CopyRecord, AHiddenTargetStopsTheRunAndStaysAsItWas) {
  UpdateWorld world;
  DescribeCopy(world);
  if (!MarkTarget(world, ATTR_HIDDEN)) GTEST_SKIP() << "no extended attributes here";
  ExpectTargetKept(world);
}

TEST(CopyRecord, AnUnreadableStatusNamesTheSource) {
  UpdateWorld world;
  DescribeCopy(world);
  world.files().failGetStatus = true;

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Stopped);
  EXPECT_THAT(world.ui.Transcript(),
              ElementsAre("確認: A:DOCS\\README.TXTの属性更新に失敗しました。 [OK]", kRestored));
  EXPECT_FALSE(world.ProductHas("DOC"));
}

TEST(RunErrors, AreShownAndEndTheRunWithResultOne) {
  struct ErrorCase {
    const char* name;
    void (*inject)(UpdateWorld&);
    std::string box;
  };
  const ErrorCase cases[] = {
      {"attributes cannot be written",
       [](UpdateWorld& world) {
         // A read-only copy, so its attributes need writing.
         fs::permissions(world.Medium() / "DOCS" / "README.TXT",
                         fs::perms::owner_read | fs::perms::group_read);
         world.files().failSetStatus = true;
       },
       "確認: 更新中にエラーが発生しました。C:\\PROG\\DOC\\README.TXT "
       "の属性を書き込めませんでした。 [OK]"},
      {"the library runs out of memory",
       [](UpdateWorld& world) {
         world.AddRecord(1, 1, "MORE", "");
         world.WriteArchive("MORE.lzh", {{"more.dat", "more"}});
         world.archives().ThrowOnCommand(1);
       },
       "確認: 更新中にエラーが発生しました。std::bad_alloc [OK]"},
  };
  for (const ErrorCase& error : cases) {
    SCOPED_TRACE(error.name);
    UpdateWorld world;
    DescribeCopy(world);
    error.inject(world);

    EXPECT_EQ(world.Run(), 1);

    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Failed);
    EXPECT_THAT(world.ui.Transcript(), ElementsAre(error.box, kRestored));
    EXPECT_FALSE(world.ProductHas("DOC"));
    EXPECT_EQ(world.ui.WaitCursorBegins(), 1);
    EXPECT_EQ(world.ui.WaitCursorEnds(), 1);
    EXPECT_FALSE(world.ProductHas("dov3.ini"));
  }
}

}  // namespace
}  // namespace tovrin::testing
