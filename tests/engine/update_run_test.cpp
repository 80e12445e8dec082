// The update run from the chosen folder to its result: a whole successful
// update, the choice of the settings file, and every refusal.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/update_world.hpp"

namespace tovrin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kSuccess = "確認: システムは正常に更新されました。 [OK]";
const std::string kWrongFolder = "エラー: ｲﾝｽﾄｰﾙ先ﾌｫﾙﾀﾞが正しくないと思われます。 [OK]";
const std::string kCannotUpdate = "エラー: このバージョンへの更新はできません。 [OK]";

TEST(UpdateRun, AppliesEveryRecordAndWritesTheSettings) {
  UpdateWorld world;
  world.MakeVelsorProduct("電気 8.0S");
  world.DescribeUpdate();
  world.description.m_strTradeKind = "1";
  world.AddRecord(1, 1, "START", "");
  world.AddRecord(1, 1, "HELP", "HELP\\");
  world.AddRecord(1, 0, "README.TXT", "DOC\\");
  world.WriteArchive("START1.lzh", {{"PROG.EXE", "new program"}});
  world.WriteArchive("HELP.lzh", {{"index.htm", "<p>help</p>"}});
  world.WriteMedium("README.TXT", "read me");

  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
  EXPECT_EQ(world.ui.Boxes()[0].owner, world.owner());
  EXPECT_EQ(world.ui.Boxes()[0].waitCursorDepth, 1);
  EXPECT_EQ(world.ui.WaitCursorBegins(), 1);
  EXPECT_EQ(world.ui.WaitCursorEnds(), 1);
  EXPECT_THAT(world.archives().Calls(),
              ElementsAre("SetBackgroundMode(0)", "SetCursorMode(1)", "Command(256)",
                          "Command(256)", "Command(256)", "Command(256)"));
  // Both archives are tested before the first file is touched.
  EXPECT_THAT(world.archives().Commands(),
              ElementsAre("t \"A:START1.lzh\"", "t \"A:HELP.lzh\"",
                          "e -mcwC:\\windows \"A:START1.lzh\" \"C:\\PROG\\\"",
                          "e -mcwC:\\windows \"A:HELP.lzh\" \"C:\\PROG\\HELP\\\""));
  EXPECT_EQ(world.archives().Owners()[0], world.owner());
  EXPECT_EQ(world.ReadProduct("PROG.EXE"), "new program");
  EXPECT_EQ(world.ReadProduct("HELP/index.htm"), "<p>help</p>");
  EXPECT_EQ(world.ReadProduct("DOC/README.TXT"), "read me");
  EXPECT_EQ(world.ReadProduct("velsor1.ini"),
            Sjis("[SYSTEM]\r\nVERSION=9.0A\r\nTITLE=電気 9.0A\r\nGENGOU=令和\r\n種別電気=1\r\n"
                 "[DIR]\r\nMASTER=C:\\PROG\\MST\\\r\n"));
  EXPECT_EQ(world.ReadProduct("dov3.ini"),
            Sjis("[HISTORY]\r\n抽出開始日ON=1\r\n抽出終了日ON=1\r\n"));
  EXPECT_EQ(world.description.m_strSrcName[0], "START1");
}

TEST(UpdateRun, SearchModeFallsBackToTremickAndChoosesAfreshOnTheNextRun) {
  UpdateWorld world;
  world.MakeTremickProduct("1");
  world.DescribeUpdate();
  world.description.m_strIniName = "NULL";
  world.description.m_strDestination = "C:\\ELSEWHERE";
  world.AddRecord(1, 1, "START", "");
  world.WriteArchive("START0.lzh", {{"PROG.EXE", "tremick program"}});

  EXPECT_EQ(world.Run(), 0);
  EXPECT_EQ(world.description.m_strIniName, "tremick1.ini");
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Refused);

  world.description.m_strDestination = "C:\\PROG";
  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Applied);
  EXPECT_EQ(world.run().ProductNo(), 0);
  EXPECT_EQ(world.description.m_strIniName, "tremick1.ini");
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kWrongFolder, kSuccess));
  // Without formater.exe the marker check leaves a second backslash.
  EXPECT_THAT(
      world.archives().Commands(),
      ElementsAre("t \"A:START0.lzh\"", "e -mcwC:\\windows \"A:START0.lzh\" \"C:\\PROG\\\\\""));
  EXPECT_EQ(world.ReadProduct("PROG.EXE"), "tremick program");
  EXPECT_EQ(world.ReadProduct("tremick1.ini"),
            Sjis("[SYSTEM]\r\nMAKER=1\r\nVersion=9.0A\r\nGENGOU=令和\r\nTITLE=\r\n"));
}

TEST(UpdateRun, SearchModeChoosesVelsorAgainAfterARefusal) {
  UpdateWorld world;
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.description.m_strIniName = "NULL";
  world.description.m_strDestination = "C:\\";

  EXPECT_EQ(world.Run(), 0);
  world.description.m_strDestination = "C:\\PROG\\";
  EXPECT_EQ(world.Run(), 1);

  EXPECT_EQ(world.description.m_strIniName, "velsor1.ini");
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kWrongFolder, kSuccess));
}

struct Refusal {
  const char* name;
  void (*arrange)(UpdateWorld&);
  std::string box;
  int result;
};

const Refusal kRefusals[] = {
    {"no settings file in the folder",
     [](UpdateWorld& world) { world.description.m_strDestination = "C:\\PROG\\BMP"; }, kWrongFolder,
     0},
    {"neither name in search mode",
     [](UpdateWorld& world) {
       world.description.m_strIniName = "NULL";
       world.description.m_strDestination = "C:\\PROG\\BMP";
     },
     kWrongFolder, 0},
    {"lower-case null is a file name",
     [](UpdateWorld& world) { world.description.m_strIniName = "null"; }, kWrongFolder, 0},
    {"a forbidden picture", [](UpdateWorld& world) { world.WriteProduct("bmp/file.BMP", "BM"); },
     kCannotUpdate, 0},
    {"no menu or tool file",
     [](UpdateWorld& world) {
       std::filesystem::remove(world.Product() / "ve2menu.ini");
       std::filesystem::remove(world.Product() / "formater.exe");
     },
     kCannotUpdate, 0},
    {"a title without any keyword",
     [](UpdateWorld& world) { world.WriteProduct("velsor1.ini", "[SYSTEM]\r\nTITLE=GAS\r\n"); },
     kCannotUpdate, 0},
    {"an invalid description", [](UpdateWorld& world) { world.description.m_nInvalidLine = 45; },
     "エラー: info.txt の 45 行目が正しくありません。 [OK]", 1},
};

TEST(UpdateRun, RefusesBeforeTouchingTheProduct) {
  for (const Refusal& refusal : kRefusals) {
    SCOPED_TRACE(refusal.name);
    UpdateWorld world;
    world.MakeVelsorProduct();
    world.DescribeUpdate();
    world.AddRecord(1, 1, "START", "");
    world.AddRecord(1, 0, "README.TXT", "DOC\\");
    world.WriteArchive("START1.lzh", {{"PROG.EXE", "new program"}});
    world.WriteMedium("README.TXT", "read me");
    refusal.arrange(world);
    const auto before = world.ProductSnapshot();

    EXPECT_EQ(world.Run(), refusal.result);

    EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Refused);
    EXPECT_THAT(world.ui.Transcript(), ElementsAre(refusal.box));
    EXPECT_THAT(world.archives().Calls(), IsEmpty());
    EXPECT_EQ(world.ProductSnapshot(), before);
    EXPECT_EQ(world.description.m_strSrcName[0], "START");
    EXPECT_EQ(world.ui.WaitCursorBegins(), 1);
    EXPECT_EQ(world.ui.WaitCursorEnds(), 1);
  }
}

TEST(UpdateRun, WithoutRecordsOnlyWritesTheSettings) {
  UpdateWorld world;
  world.MakeVelsorProduct("電気 8.0S");
  world.DescribeUpdate();
  world.description.m_strVersion = "";

  EXPECT_EQ(world.Run(), 1);

  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
  EXPECT_THAT(world.archives().Commands(), IsEmpty());
  EXPECT_EQ(world.ReadProduct("velsor1.ini"),
            Sjis("[SYSTEM]\r\nVERSION=8\r\nTITLE=電気 8.0S\r\nGENGOU=令和\r\n"
                 "[DIR]\r\nMASTER=C:\\PROG\\MST\\\r\n"));
}

}  // namespace
}  // namespace tovrin::testing
