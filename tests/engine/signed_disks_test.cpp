// A signed medium of several disks: each disk's own SHA256SUMS, signed with
// Debian's minisign, checked again after its prompt; a disk of another
// medium fails its hashes and what the earlier disks brought is put back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/update_world.hpp"
#include "tests/support/minisign_signer.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

class SignatureRecorder : public RunEvents {
 public:
  void MediumVerified(int disk, const std::optional<std::string>& signer, bool trusted) override {
    heard.push_back(std::to_string(disk) + " " + signer.value_or("-") +
                    (trusted ? " trusted" : ""));
  }
  void RunEnded(UpdateOutcome outcome) override { ended = outcome; }
  std::vector<std::string> heard;
  UpdateOutcome ended = UpdateOutcome::NotRun;
};

// The disk in the drive replaced by one holding `archive` with `member`, signed by `key`.
void InsertSignedDisk(UpdateWorld& world, const std::string& archive, const std::string& member,
                      const MinisignKeyPair& key) {
  for (const auto& entry : fs::directory_iterator(world.Medium())) fs::remove(entry.path());
  world.WriteArchive(archive, {{"two.dat", member}});
  WriteManifest(world.Medium());
  SignManifest(world.Medium(), key);
}

TEST(SignedDisks, EachDiskIsCheckedAfterItsPromptAndOneOfAnotherMediumIsRefused) {
  TempFolder keys;
  const MinisignKeyPair vendor = GenerateMinisignKey(keys.path(), "vendor");
  std::string error;
  const auto trusted = ParseMinisignKey(ReadFile(vendor.publicKey), error);
  ASSERT_TRUE(trusted) << error;
  struct Case {
    std::string name;
    std::string secondDisk;  // what TWO.lzh's member holds on the disk put in
    bool signedAsListed;     // the disk's own manifest; else disk 2 of another medium
    UpdateOutcome outcome;
  };
  const std::vector<Case> cases = {
      {"disk 2 of the same medium", "two of this medium", true, UpdateOutcome::Applied},
      {"disk 2 of another medium", "two of another medium", false, UpdateOutcome::Refused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateWorld world(DRIVE_REMOVABLE);
    world.trustedKeys.keys.push_back(*trusted);
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    world.AddRecord(1, 1, "ONE", "");
    world.AddRecord(2, 1, "TWO", "");
    world.WriteArchive("ONE.lzh", {{"one.dat", "1"}});
    WriteManifest(world.Medium());
    SignManifest(world.Medium(), vendor);
    // The other medium's disk 2 is signed with the same key, its own list
    // made for disk 2 of this medium: a disk of the wrong set.
    world.ui.Answer(IDOK, [&] {
      InsertSignedDisk(world, "TWO.lzh", "two of this medium", vendor);
      if (!c.signedAsListed) world.WriteArchive("TWO.lzh", {{"two.dat", c.secondDisk}});
    });
    world.ui.Answer(IDOK);
    world.ui.Answer(IDOK);
    const auto before = world.ProductSnapshot();
    SignatureRecorder signatures;

    EXPECT_EQ(world.Run(signatures), 1);

    EXPECT_EQ(signatures.ended, c.outcome);
    EXPECT_THAT(signatures.heard, ::testing::ElementsAre("1 " + vendor.id + " trusted",
                                                         "2 " + vendor.id + " trusted"));
    if (c.outcome == UpdateOutcome::Applied) {
      EXPECT_EQ(world.ReadProduct("two.dat"), c.secondDisk);
      continue;
    }
    EXPECT_EQ(world.ProductSnapshot(), before);
    const auto& boxes = world.ui.Transcript();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_THAT(boxes[1], ::testing::HasSubstr("TWO.lzh"));
    EXPECT_THAT(boxes[1], ::testing::HasSubstr("署名された時から変更されています"));
  }
}

}  // namespace
}  // namespace tovrin::testing
