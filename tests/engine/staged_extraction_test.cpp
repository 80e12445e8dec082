// A disk's archives decoded once, by its check, into temporaries that wait
// for their records: nothing in place before every archive has passed, and
// no temporary left behind however the run ends.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/temporary_name.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

// The program's temporaries anywhere in the product.
int Temporaries(const UpdateWorld& world) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(world.Product())) {
    if (temporary_name::IsTemporary(entry.path().filename().string())) ++count;
  }
  return count;
}

// Counts, when the first record starts, the temporaries already written.
class FirstRecordWatch : public RunEvents {
 public:
  explicit FirstRecordWatch(const UpdateWorld& world) : world_(world) {}
  void RecordStarted(int index, int, const std::string&, const std::string&) override {
    if (index == 1) temporariesAtStart = Temporaries(world_);
  }
  int temporariesAtStart = -1;

 private:
  const UpdateWorld& world_;
};

// The last byte of the archive's data changed: its CRC no longer holds.
void Spoil(const fs::path& archive) {
  std::fstream file(archive, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(-2, std::ios::end);
  file.put('#');
}

struct StagingCase {
  const char* name;
  DriveType medium;
  std::function<void(UpdateWorld&)> arrange;
  UpdateOutcome outcome;
  int temporariesAtStart;  // -1: no record started
  bool productChanged;
};

TEST(StagedExtraction, EachArchiveIsDecodedOnceAndNoTemporaryOutlivesTheRun) {
  const StagingCase cases[] = {
      {"both archives pass", DRIVE_FIXED, [](UpdateWorld&) {}, UpdateOutcome::Applied, 3, true},
      {"the second archive is spoilt", DRIVE_FIXED,
       [](UpdateWorld& w) { Spoil(w.Medium() / "HELP.lzh"); }, UpdateOutcome::Refused, -1, false},
      {"the next disk is not given", DRIVE_REMOVABLE,
       [](UpdateWorld& w) {
         w.AddRecord(2, 1, "LAST", "");
         w.ui.Answer(IDCANCEL);
       },
       UpdateOutcome::Cancelled, 3, false},
      {"the next disk is spoilt", DRIVE_REMOVABLE,
       [](UpdateWorld& w) {
         w.AddRecord(2, 1, "LAST", "");
         w.ui.Answer(IDOK, [&w] {
           w.WriteArchive("LAST.lzh", {{"last.dat", std::string(4096, 'L')}});
           Spoil(w.Medium() / "LAST.lzh");
         });
       },
       UpdateOutcome::Stopped, 3, false},
      {"a temporary cannot be flushed", DRIVE_FIXED,
       [](UpdateWorld& w) { w.files().failFlush = true; }, UpdateOutcome::Refused, -1, false},
  };
  for (const StagingCase& test : cases) {
    SCOPED_TRACE(test.name);
    UpdateWorld world(test.medium);
    world.archives().stageThroughLibrary = true;
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    world.AddRecord(1, 1, "START", "");
    world.AddRecord(1, 1, "HELP", "HELP\\");
    world.WriteArchive("START1.lzh", {{"PROG.EXE", std::string(4096, 'P')},
                                      {"ve2menu.ini", "[MENU]\r\nNEW=1\r\n"}});
    world.WriteArchive("HELP.lzh", {{"index.htm", std::string(4096, 'H')}});
    test.arrange(world);
    const auto before = world.ProductSnapshot();
    FirstRecordWatch watch(world);

    EXPECT_EQ(world.Run(watch), 1);

    EXPECT_EQ(world.run().Outcome(), test.outcome);
    // Checked and extracted by one decoding each: no test, no extraction command.
    EXPECT_THAT(world.archives().Commands(), ::testing::IsEmpty());
    EXPECT_EQ(watch.temporariesAtStart, test.temporariesAtStart);
    EXPECT_EQ(Temporaries(world), 0);
    EXPECT_EQ(world.ProductSnapshot() != before, test.productChanged);
    // Each temporary's data on the disk before its rename can expose it.
    EXPECT_EQ(world.files().renamedUnflushedData, 0);
    if (test.productChanged) {
      EXPECT_EQ(world.ReadProduct("PROG.EXE"), std::string(4096, 'P'));
      EXPECT_EQ(world.ReadProduct("HELP/index.htm"), std::string(4096, 'H'));
    }
  }
}

}  // namespace
}  // namespace tovrin::testing
