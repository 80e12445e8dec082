// Asking for the next update disk when the medium is a removable drive.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/update_world.hpp"

namespace tovrin::testing {
namespace {

using ::testing::ElementsAre;

const std::string kDisk2 = "確認: 2 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。 [OK/Cancel]";
const std::string kDisk3 = "確認: 3 枚目のｱｯﾌﾟﾃﾞｲﾄFDをｾｯﾄしてください。 [OK/Cancel]";
const std::string kSuccess = "確認: システムは正常に更新されました。 [OK]";

// Records on disks 1, 2, 2 and 3, one archive each, with only disk 1 in the
// drive.
void DescribeFourDisks(UpdateWorld& world) {
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 1, "ONE", "");
  world.AddRecord(2, 1, "TWO", "");
  world.AddRecord(2, 1, "TWOB", "");
  world.AddRecord(3, 1, "THREE", "");
  world.WriteArchive("ONE.lzh", {{"one.dat", "1"}});
}

// Takes the disk out of the drive and puts the next one in.
void InsertDisk(UpdateWorld& world, const ArchiveMembers& archives) {
  for (const auto& entry : std::filesystem::directory_iterator(world.Medium())) {
    std::filesystem::remove(entry.path());
  }
  for (const auto& [archive, member] : archives) {
    world.WriteArchive(archive, {{member, archive}});
  }
}

TEST(DiskPrompt, AsksOncePerNewDiskAndAgainUntilTheArchiveIsThere) {
  UpdateWorld world(DRIVE_REMOVABLE);
  DescribeFourDisks(world);
  // Disk 1 is never asked for, not even after another disk.
  world.AddRecord(1, 1, "LAST", "");
  world.ui.Answer(IDOK, [&] {
    InsertDisk(world, {{"TWO.lzh", "two.dat"}, {"TWOB.lzh", "twob.dat"}});
  });
  world.ui.Answer(IDOK);  // disk 3 not in the drive yet
  world.ui.Answer(IDOK, [&] {
    InsertDisk(world, {{"THREE.lzh", "three.dat"}, {"LAST.lzh", "last.dat"}});
  });

  EXPECT_EQ(world.Run(), 1);

  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kDisk2, kDisk3, kDisk3, kSuccess));
  EXPECT_EQ(world.ui.UnusedAnswers(), 0u);
  EXPECT_EQ(world.ReadProduct("one.dat"), "1");
  EXPECT_EQ(world.ReadProduct("two.dat"), "TWO.lzh");
  EXPECT_EQ(world.ReadProduct("twob.dat"), "TWOB.lzh");
  EXPECT_EQ(world.ReadProduct("three.dat"), "THREE.lzh");
  EXPECT_EQ(world.ReadProduct("last.dat"), "LAST.lzh");
}

// What a progress display hears: the bytes of each disk's records as the
// disk comes, each record as it starts, each box before and after it.
class ProgressRecorder : public RunEvents {
 public:
  void RecordStarted(int index, int count, const std::string& source, const std::string&) override {
    heard.push_back("record " + std::to_string(index) + "/" + std::to_string(count) + " " + source);
  }
  void BytesPlanned(std::uint64_t bytes, int records) override {
    heard.push_back("planned " + std::to_string(bytes) + "/" + std::to_string(records));
  }
  void BoxShowing(const std::string&, const std::string&) override { heard.push_back("box"); }
  void BoxShown(const std::string&, const std::string&, int answer) override {
    heard.push_back(answer == IDOK ? "OK" : "Cancel");
  }
  void RunEnded(UpdateOutcome outcome) override {
    heard.push_back(outcome == UpdateOutcome::Applied ? "applied" : "not applied");
  }
  std::vector<std::string> heard;
};

TEST(DiskPrompt, EachDiskBringsTheBytesOfItsRecordsToTheProgress) {
  UpdateWorld world(DRIVE_REMOVABLE);
  DescribeFourDisks(world);
  world.ui.Answer(IDOK, [&] {
    InsertDisk(world, {{"TWO.lzh", "two.dat"}, {"TWOB.lzh", "twob.dat"}});
  });
  world.ui.Answer(IDOK, [&] { InsertDisk(world, {{"THREE.lzh", "three.dat"}}); });
  ProgressRecorder progress;

  EXPECT_EQ(world.Run(progress), 1);

  // Each member holds its archive's name: 7 + 8 bytes on disk 2, 9 on disk 3.
  EXPECT_THAT(progress.heard,
              ElementsAre("planned 1/1", "record 1/4 ONE", "box", "OK", "planned 15/2",
                          "record 2/4 TWO", "record 3/4 TWOB", "box", "OK", "planned 9/1",
                          "record 4/4 THREE", "box", "OK", "applied"));
}

TEST(DiskPrompt, CancelEndsTheRunWithTheCancelNotice) {
  UpdateWorld world(DRIVE_REMOVABLE);
  DescribeFourDisks(world);
  world.ui.Answer(IDCANCEL);
  const std::string settings = world.ReadProduct("velsor1.ini");

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Cancelled);
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kDisk2, "確認: ｱｯﾌﾟﾃﾞｲﾄを取消しました。 [OK]",
                                                 "確認: 更新前の状態に戻しました。 [OK]"));
  EXPECT_FALSE(world.ProductHas("one.dat"));
  EXPECT_FALSE(world.ProductHas("two.dat"));
  EXPECT_EQ(world.ReadProduct("velsor1.ini"), settings);
  EXPECT_FALSE(world.ProductHas("dov3.ini"));
  EXPECT_EQ(world.ui.WaitCursorEnds(), world.ui.WaitCursorBegins());
}

TEST(DiskPrompt, NeverAsksOnAFixedDrive) {
  UpdateWorld world(DRIVE_FIXED);
  DescribeFourDisks(world);
  for (const char* name : {"TWO", "TWOB", "THREE"}) {
    world.WriteArchive(std::string(name) + ".lzh", {{name, name}});
  }

  EXPECT_EQ(world.Run(), 1);

  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
  EXPECT_EQ(world.ReadProduct("THREE"), "THREE");
}

}  // namespace
}  // namespace tovrin::testing
