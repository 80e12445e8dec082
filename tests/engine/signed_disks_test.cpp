// A signed medium of several disks: each disk's own SHA256SUMS, signed with
// Debian's minisign, checked again after its prompt; a disk of another
// medium fails its hashes and what the earlier disks brought is put back.
// A medium written to while the run reads it (a share) is caught too.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

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

// A vendor's key pair made with minisign, its public half the one trusted.
class SignedDisks : public ::testing::Test {
 protected:
  void SetUp() override {
    vendor = GenerateMinisignKey(keys.path(), "vendor");
    std::string error;
    const auto key = ParseMinisignKey(ReadFile(vendor.publicKey), error);
    ASSERT_TRUE(key) << error;
    trusted = *key;
  }
  TempFolder keys;
  MinisignKeyPair vendor;
  std::optional<MinisignKey> trusted;
};

TEST_F(SignedDisks, EachDiskIsCheckedAfterItsPromptAndOneOfAnotherMediumIsRefused) {
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

// info.txt as a vendor writes it for the description.
std::string InfoText(const UpdateDescription& d) {
  std::string text;
  const auto line = [&](const std::string& value) { text += value + "\r\n"; };
  for (const auto& key : d.m_strUninstallKey) line(key);
  for (const std::string* value :
       {&d.m_strDestination, &d.m_strProductKind, &d.m_strMasterAdjust, &d.m_strIniName,
        &d.m_strTradeKind, &d.m_strVersion, &d.m_strViewPicture, &d.m_strNoticePicture,
        &d.m_strDestPicture, &d.m_strConfirmPicture, &d.m_strNoticeNotes, &d.m_strDestNotes}) {
    line(*value);
  }
  for (const auto& key : d.m_strTitleKey) line(key);
  for (int index = 0; index < d.m_nFileCount; ++index) {
    line(std::to_string(d.m_nDiskNo[index]) + "," + std::to_string(d.m_nFileKind[index]) + "," +
         d.m_strSrcName[index] + "," + d.m_strSubDir[index]);
  }
  return text;
}

TEST_F(SignedDisks, AFileChangedBetweenItsCheckAndItsUseNeverGoesIn) {
  enum class Change { None, Archive, SingleFile, ParsedInfo };
  struct Case {
    std::string name;
    Change change;
    UpdateOutcome outcome;
    std::string named;  // in the box
  };
  const std::vector<Case> cases = {
      {"nothing changed", Change::None, UpdateOutcome::Applied, ""},
      {"the archive, after its hash", Change::Archive, UpdateOutcome::Refused, "ONE.lzh"},
      {"a single file, after its hash", Change::SingleFile, UpdateOutcome::Stopped, "TWO.DAT"},
      {"info.txt, read before it was signed", Change::ParsedInfo, UpdateOutcome::Refused,
       "info.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateWorld world;
    world.trustedKeys.keys.push_back(*trusted);
    world.archives().stageThroughLibrary = true;
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    world.AddRecord(1, 1, "ONE", "\\");
    world.AddRecord(1, 0, "TWO.DAT", "\\");
    world.WriteArchive("ONE.lzh", {{"one.dat", "signed one"}});
    // Bytes past the archive's end are signed too, though no member holds them.
    std::ofstream(world.Medium() / "ONE.lzh", std::ios::app | std::ios::binary)
        << std::string(200 * 1024, '\0');
    world.WriteMedium("TWO.DAT", "signed two");
    // The wizard parses info.txt before the run; the disk is signed with
    // another info.txt in its place by the time the run checks it.
    const std::string signedInfo = InfoText(world.description);
    UpdateDescription parsed = world.description;
    if (c.change == Change::ParsedInfo) parsed.m_strVersion = "6.6Z";
    world.WriteMedium("info.txt", InfoText(parsed));
    ASSERT_EQ(ReadInfoFile(world.files(), "A:\\info.txt", world.description), 1);
    world.WriteMedium("info.txt", signedInfo);
    WriteManifest(world.Medium());
    SignManifest(world.Medium(), vendor);
    // The archive's first reading is its hash; what follows sees the medium changed.
    int archiveOpens = 0;
    world.files().failOpenRead = [&](std::string_view path) {
      std::string upper(path);
      std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
      if (upper.ends_with("ONE.LZH") && ++archiveOpens == 2) {
        if (c.change == Change::Archive) world.WriteArchive("ONE.lzh", {{"one.dat", "evil one"}});
        if (c.change == Change::SingleFile) world.WriteMedium("TWO.DAT", "evil two");
      }
      return false;
    };
    world.ui.Answer(IDOK);
    const auto before = world.ProductSnapshot();
    SignatureRecorder signatures;

    world.Run(signatures);

    EXPECT_EQ(signatures.ended, c.outcome);
    if (c.outcome == UpdateOutcome::Applied) {
      EXPECT_EQ(world.ReadProduct("one.dat"), "signed one");
      EXPECT_EQ(world.ReadProduct("TWO.DAT"), "signed two");
      continue;
    }
    EXPECT_EQ(world.ProductSnapshot(), before);
    const auto& boxes = world.ui.Transcript();
    ASSERT_FALSE(boxes.empty());
    EXPECT_THAT(boxes.front(), ::testing::HasSubstr(c.named));
    EXPECT_THAT(boxes.front(), ::testing::HasSubstr("署名された時から変更されています"));
  }
}

}  // namespace
}  // namespace tovrin::testing
