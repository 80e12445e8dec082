// One run at a time on a product, and what a killed run left behind: the
// lock refuses a second run before it touches anything, and the next run
// removes the leftover temporary files by their names.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/whole_file_copy.hpp"
#include "tests/engine/update_world.hpp"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

const std::string kSuccess = "確認: システムは正常に更新されました。 [OK]";
const std::string kBusy =
    "エラー: 他のｱｯﾌﾟﾃﾞｲﾄが実行中です。終了してから再度実行してください。 [OK]";

void PrepareUpdate(UpdateWorld& world) {
  world.MakeVelsorProduct();
  world.DescribeUpdate();
  world.AddRecord(1, 0, "README.TXT", "DOC\\");
  world.WriteMedium("README.TXT", "read me");
}

TEST(ProductLock, ASecondRunIsRefusedBeforeItTouchesAnythingAndTheLockEndsWithTheRun) {
  UpdateWorld world;
  PrepareUpdate(world);
  auto first = world.files().LockProduct("C:\\PROG");
  ASSERT_EQ(first.state, ProductLockResult::State::Held);
  const auto before = world.ProductSnapshot();

  EXPECT_EQ(world.Run(), 0);
  // "Not now", apart from a refusal: the product may take the update later.
  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Busy);
  EXPECT_EQ(world.ProductSnapshot(), before);

  first.lock.reset();
  EXPECT_EQ(world.Run(), 1);
  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kBusy, kSuccess));
  EXPECT_EQ(world.files().LockProduct("C:\\PROG\\").state, ProductLockResult::State::Held);
}

TEST(ProductLock, APlantedBookkeepingLinkEndsTheRunUntouched) {
#ifdef _WIN32
  GTEST_SKIP() << "links are planted with POSIX symbolic links";
#endif
  UpdateWorld world;
  PrepareUpdate(world);
  const fs::path elsewhere = world.Product().parent_path() / "elsewhere";
  fs::create_directory(elsewhere);
  fs::create_directory_symlink(elsewhere, world.Product() / ".tovrin");

  world.Run();

  EXPECT_EQ(world.run().Outcome(), UpdateOutcome::Failed);
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_FALSE(world.ProductHas("DOC/README.TXT"));
}

TEST(LeftoverTemporaries, TheNextRunRemovesThemSilentlyAndOnlyThem) {
#ifdef _WIN32
  GTEST_SKIP() << "links are planted with POSIX symbolic links";
#endif
  UpdateWorld world;
  PrepareUpdate(world);
  const fs::path outside = world.Product().parent_path() / "outside";
  fs::create_directory(outside);
  world.WriteProduct(".tovrin-0123456789ab.tmp", "partial member");
  world.WriteProduct("HELP/.tovrin-fedcba987654.tmp", "partial copy");
  world.WriteProduct("HELP/.tovrin-notours.tmp", "a user's file");
  world.WriteProduct("HELP/.TOVRIN-0123456789AB.TMP", "a user's file");
  fs::create_directory_symlink(outside, world.Product() / "LINKED");
  std::ofstream(outside / ".tovrin-00000000000a.tmp") << "another product's";

  EXPECT_EQ(world.Run(), 1);

  EXPECT_THAT(world.ui.Transcript(), ElementsAre(kSuccess));
  EXPECT_FALSE(world.ProductHas(".tovrin-0123456789ab.tmp"));
  EXPECT_FALSE(world.ProductHas("HELP/.tovrin-fedcba987654.tmp"));
  EXPECT_TRUE(world.ProductHas("HELP/.tovrin-notours.tmp"));
  EXPECT_TRUE(world.ProductHas("HELP/.TOVRIN-0123456789AB.TMP"));
  EXPECT_TRUE(fs::exists(outside / ".tovrin-00000000000a.tmp"));
}

// The copy is made under a name of its own: whatever holds a fixed name
// beside the destination cannot stop it, nor is it touched.
TEST(LeftoverTemporaries, ACopyNeverMeetsAFixedTemporaryName) {
  UpdateWorld world;
  world.WriteMedium("FORMATER.EXE", "new");
  world.WriteProduct("FORMATER.EXE", "old");
  fs::create_directories(world.Product() / "FORMATER.EXE.tovrin-copy");

  EXPECT_EQ(CopyFileWhole(world.files(), "A:\\FORMATER.EXE", "C:\\PROG\\FORMATER.EXE"),
            CopyResult::Copied);

  EXPECT_EQ(world.ReadProduct("FORMATER.EXE"), "new");
  EXPECT_TRUE(fs::is_directory(world.Product() / "FORMATER.EXE.tovrin-copy"));
}

}  // namespace
}  // namespace tovrin::testing
