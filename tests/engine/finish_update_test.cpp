// The closing phase: the version in a title of any length, the trade kind,
// and the master conversions with their warnings.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/profile.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

const std::string kSuccess = "確認: システムは正常に更新されました。 [OK]";
// A master record whose type letter (byte 14) the type conversion makes Z.
const std::string kMasterRecord = "400400000200 A rest of the record\r\n";

// The title is read with a 100-byte buffer, grown while the value may not
// have fitted: a double-byte character across byte 99 leaves 98 bytes read
// (the product is still named within the bytes its identification reads).
TEST(FinishUpdate, PutsTheVersionIntoATitleOfAnyLength) {
  const std::string prefixes[] = {"電気 " + std::string(300, 'x') + " ",
                                  "電気 " + std::string(93, 'x') + "電気 "};
  for (const std::string& prefix : prefixes) {
    SCOPED_TRACE(prefix.size());
    UpdateWorld world;
    world.MakeVelsorProduct(prefix + "8.0S/8.0S");
    world.DescribeUpdate();
    world.description.m_strVersion = "10.5 Professional 8.0S";
    world.description.m_strTradeKind = "4";

    EXPECT_EQ(world.Run(), 1);

    const std::string title =
        GetProfileText(world.files(), "SYSTEM", "TITLE", "", 4096, "C:\\PROG\\velsor1.ini");
    EXPECT_EQ(title, Sjis(prefix + "10.5 Professional 8.0S/10.5 Professional 8.0S"));
    EXPECT_EQ(
        GetProfileText(world.files(), "SYSTEM", Sjis("種別建築"), "", 100, "C:\\PROG\\velsor1.ini"),
        "1");
  }
}

TEST(FinishUpdate, WarnsOfEachConversionThatFailedAndStillSucceeds) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.description.m_strMasterAdjust = "1";
  world.WriteProduct("MST/1/zai001-3.mst", kMasterRecord);
  fs::permissions(world.Product() / "MST" / "1" / "zai001-3.mst", fs::perms::owner_read);

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
  EXPECT_THAT(world.ui.Transcript(),
              ElementsAre("確認: 材料ｻｲｽﾞ変換が正常に更新されませんでした。 [OK]",
                          "確認: 材料ﾀｲﾌﾟ変換が正常に更新されませんでした。 [OK]", kSuccess));
  // The conversions run under a second wait cursor of their own.
  EXPECT_EQ(world.ui.Boxes()[0].waitCursorDepth, 2);
  EXPECT_EQ(world.ui.Boxes()[2].waitCursorDepth, 1);
  EXPECT_EQ(world.ui.WaitCursorBegins(), 2);
  EXPECT_EQ(world.ui.WaitCursorEnds(), 2);
  EXPECT_EQ(world.ReadProduct("MST/1/zai001-3.mst"), kMasterRecord);
}

// A read that fails once, just after GENGOU was written, used to give an
// empty title, which was then written back.
TEST(FinishUpdate, ATitleThatCannotBeReadIsNotRewrittenAndIsReported) {
  UpdateWorld world;
  world.MakeVelsorProduct("電気 8.0S");
  world.DescribeUpdate();
  bool failed = false;
  world.files().failOpenRead = [&](std::string_view path) {
    if (failed || !path.ends_with("velsor1.ini")) return false;
    const bool gengouWritten =
        world.ReadProduct("velsor1.ini").find(Sjis("令和")) != std::string::npos;
    if (!gengouWritten) return false;
    return failed = true;
  };

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
  EXPECT_THAT(
      world.ui.Transcript(),
      ElementsAre("確認: C:\\PROG\\velsor1.ini の TITLE を書き込めませんでした。 [OK]", kSuccess));
  EXPECT_EQ(GetProfileText(world.files(), "SYSTEM", "TITLE", "", 100, "C:\\PROG\\velsor1.ini"),
            Sjis("電気 8.0S"));
}

// Neither an unreadable velsor1.ini nor a master folder that cannot be listed
// may pass for "no masters to convert".
TEST(FinishUpdate, MastersThatCannotBeFoundAreNotConvertedAndAreReported) {
  for (const bool listingFails : {false, true}) {
    SCOPED_TRACE(listingFails ? "listing" : "settings");
    UpdateWorld world;
    world.MakeTremickProduct("1");
    world.WriteProduct("velsor1.ini", "[DIR]\r\nMASTER=C:\\PROG\\MST\\\r\n");
    world.DescribeUpdate();
    world.description.m_strIniName = "tremick1.ini";
    world.description.m_strMasterAdjust = "1";
    world.WriteProduct("MST/1/zai002-3.mst", kMasterRecord);
    world.files().failOpenRead = [&](std::string_view path) {
      return !listingFails && path.ends_with("velsor1.ini");
    };
    world.files().failSearch = [&](std::string_view pattern) {
      return listingFails && pattern.starts_with("C:\\PROG\\MST\\1\\");
    };

    EXPECT_EQ(world.Run(), 1);

    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
    EXPECT_THAT(world.ui.Transcript(),
                ElementsAre("確認: 材料ｻｲｽﾞ変換が正常に更新されませんでした。 [OK]",
                            "確認: 材料ﾀｲﾌﾟ変換が正常に更新されませんでした。 [OK]", kSuccess));
    EXPECT_EQ(world.ReadProduct("MST/1/zai002-3.mst"), kMasterRecord);
  }
}

// A settings file shared through a link inside the product is written where
// the link leads; a link that leads out of the product is never written through.
TEST(FinishUpdate, ASettingsLinkIsWrittenThroughOnlyInsideTheProduct) {
#ifdef _WIN32
  GTEST_SKIP() << "links are planted with POSIX symbolic links";
#endif
  for (const bool inside : {true, false}) {
    SCOPED_TRACE(inside ? "inside" : "outside");
    UpdateWorld world;
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    const fs::path shared = inside ? world.Product() / "SHARED" / "dov3.ini"
                                   : world.Product().parent_path() / "OTHER" / "dov3.ini";
    fs::create_directories(shared.parent_path());
    std::ofstream(shared, std::ios::binary) << "[HISTORY]\r\n";
    fs::create_symlink(shared, world.Product() / "dov3.ini");

    EXPECT_EQ(world.Run(), 1);

    EXPECT_TRUE(fs::is_symlink(world.Product() / "dov3.ini"));
    if (inside) {
      EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
      EXPECT_EQ(world.ReadProduct("SHARED/dov3.ini"),
                Sjis("[HISTORY]\r\n抽出開始日ON=1\r\n抽出終了日ON=1\r\n"));
    } else {
      EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
      EXPECT_EQ(world.ui.Transcript().size(), 3u);
      std::ifstream in(shared, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[HISTORY]\r\n");
    }
  }
}

TEST(FinishUpdate, ConvertsTheMastersNamedInVelsorWhateverTheSettingsFile) {
  UpdateWorld world;
  world.MakeTremickProduct("1");
  world.WriteProduct("velsor1.ini", "[DIR]\r\nMASTER=C:\\PROG\\MST\\\r\n");
  world.DescribeUpdate();
  world.description.m_strIniName = "tremick1.ini";
  world.description.m_strMasterAdjust = "1";
  world.WriteProduct("MST/21/zai002-3.mst", kMasterRecord);

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
  EXPECT_EQ(world.ReadProduct("MST/21/zai002-3.mst"), "400400000200 Z rest of the record\r\n");
}

TEST(FinishUpdate, WarnsOfASettingsFileThatCannotBeWritten) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.description.m_strTradeKind = "1";
  world.WriteProduct("dov3.ini", "[HISTORY]\r\n");
  fs::permissions(world.Product() / "dov3.ini", fs::perms::owner_read);

  EXPECT_EQ(world.Run(), 1);

  // Each refused write is told once; the other settings are written.
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::AppliedWithWarnings);
  EXPECT_THAT(world.ui.Transcript(),
              ElementsAre("確認: C:\\PROG\\dov3.ini の 抽出開始日ON を書き込めませんでした。 [OK]",
                          "確認: C:\\PROG\\dov3.ini の 抽出終了日ON を書き込めませんでした。 [OK]",
                          kSuccess));
  EXPECT_EQ(world.ReadProduct("dov3.ini"), "[HISTORY]\r\n");
  EXPECT_EQ(
      GetProfileText(world.files(), "SYSTEM", Sjis("種別電気"), "", 100, "C:\\PROG\\velsor1.ini"),
      "1");
}

}  // namespace
}  // namespace tovrin::testing
