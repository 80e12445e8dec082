#include <sys/stat.h>
#include <sys/xattr.h>

#include <gtest/gtest.h>

#include "platform/cp932.hpp"
#include "platform/posix/file_system.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using testing::TempDrive;

void MakeReadOnly(const fs::path& host) {
  fs::permissions(host, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

mode_t ModeOf(const fs::path& host) {
  struct stat status {};
  EXPECT_EQ(stat(host.c_str(), &status), 0);
  return status.st_mode & 07777;
}

bool XattrsWork(const fs::path& host) {
  return setxattr(host.c_str(), "user.tovrin-probe", "1", 1, 0) == 0 &&
         removexattr(host.c_str(), "user.tovrin-probe") == 0;
}

std::string ReadAll(InputFile& file) {
  std::string content;
  char buffer[7];
  while (const auto count = file.Read(buffer, sizeof buffer)) {
    if (*count == 0) break;
    content.append(buffer, *count);
  }
  return content;
}

class FileOperations : public ::testing::Test {
 protected:
  TempDrive drive;
  PosixFileSystem& files = drive.files;
};

TEST_F(FileOperations, CopyWritesTheWholeFileAndTakesTheSourceTime) {
  drive.WriteFile("disk\\menu.ini", std::string(200000, 'm'));
  drive.WriteFile("prog\\MENU.INI", "old");
  const auto sourceTime = fs::last_write_time(drive.Host("disk\\menu.ini")) - std::chrono::hours(3);
  fs::last_write_time(drive.Host("disk\\menu.ini"), sourceTime);

  EXPECT_FALSE(files.CopyFile("C:\\disk\\menu.ini", "C:\\prog\\menu.ini", true));
  EXPECT_EQ(drive.ReadFile("prog\\MENU.INI"), "old");
  ASSERT_TRUE(files.CopyFile("C:\\disk\\menu.ini", "C:\\prog\\menu.ini", false));
  EXPECT_EQ(drive.ReadFile("prog\\MENU.INI"), std::string(200000, 'm')) << "over the existing name";
  EXPECT_FALSE(fs::exists(drive.Host("prog\\menu.ini")));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(
                fs::last_write_time(drive.Host("prog\\MENU.INI")) - sourceTime)
                .count(),
            0);
  EXPECT_FALSE(files.CopyFile("C:\\disk\\none.ini", "C:\\prog\\none.ini", false));
  EXPECT_FALSE(files.CopyFile("C:\\disk\\menu.ini", "C:\\missing\\menu.ini", false));
  EXPECT_EQ(std::distance(fs::directory_iterator(drive.Host("prog")), fs::directory_iterator()), 1)
      << "no temporary file left behind";
}

TEST_F(FileOperations, CopyIsRefusedByAReadOnlyOrHiddenTarget) {
  drive.WriteFile("new.dat", "new");
  drive.WriteFile("locked.dat", "locked");
  MakeReadOnly(drive.Host("locked.dat"));
  EXPECT_FALSE(files.CopyFile("C:\\new.dat", "C:\\locked.dat", false));
  EXPECT_EQ(drive.ReadFile("locked.dat"), "locked");

  drive.WriteFile("hidden.dat", "hidden");
  if (!XattrsWork(drive.Host("hidden.dat"))) GTEST_SKIP() << "no extended attributes here";
  FileStatus status;
  ASSERT_TRUE(files.GetStatus("C:\\hidden.dat", status));
  status.attribute = ATTR_HIDDEN;
  ASSERT_TRUE(files.SetStatus("C:\\hidden.dat", status));
  EXPECT_FALSE(files.CopyFile("C:\\new.dat", "C:\\hidden.dat", false));
  EXPECT_EQ(drive.ReadFile("hidden.dat"), "hidden");
}

TEST_F(FileOperations, CopyCarriesTheSourceAttributes) {
  drive.WriteFile("disk\\tool.exe", "exe");
  MakeReadOnly(drive.Host("disk\\tool.exe"));
  ASSERT_TRUE(files.CopyFile("C:\\disk\\tool.exe", "C:\\tool.exe", false));
  FileStatus status;
  ASSERT_TRUE(files.GetStatus("C:\\tool.exe", status));
  EXPECT_EQ(status.attribute & ATTR_READONLY, ATTR_READONLY);
}

TEST_F(FileOperations, AttributesAndTimesSurviveAWriteAndARead) {
  drive.WriteFile("prog\\set.ini", "12345");
  FileStatus status;
  ASSERT_TRUE(files.GetStatus("c:\\PROG\\SET.INI", status));
  EXPECT_EQ(status.size, 5u);
  EXPECT_EQ(status.attribute, ATTR_NORMAL);
  EXPECT_EQ(status.fullName, "C:\\prog\\set.ini");

  const bool xattrs = XattrsWork(drive.Host("prog\\set.ini"));
  status.attribute = ATTR_READONLY | (xattrs ? ATTR_HIDDEN | ATTR_ARCHIVE : 0);
  status.modificationTime = 1000000000;
  status.accessTime = 0;
  ASSERT_TRUE(files.SetStatus("C:\\prog\\set.ini", status));
  EXPECT_EQ(ModeOf(drive.Host("prog\\set.ini")) & 0222, 0u);

  FileStatus again;
  ASSERT_TRUE(files.GetStatus("C:\\prog\\set.ini", again));
  EXPECT_EQ(again.attribute, status.attribute);
  EXPECT_EQ(again.modificationTime, 1000000000);
  EXPECT_EQ(again.accessTime, 1000000000) << "no access time given: the modification time";
  if (xattrs) {
    char value[16] = {};
    EXPECT_EQ(getxattr(drive.Host("prog\\set.ini").c_str(), "user.DOSATTRIB", value, sizeof value),
              4);
    EXPECT_STREQ(value, "0x22") << "as Wine stores it";
  }

  again.attribute = ATTR_NORMAL;
  again.modificationTime = 0;
  ASSERT_TRUE(files.SetStatus("C:\\prog\\set.ini", again));
  FileStatus cleared;
  ASSERT_TRUE(files.GetStatus("C:\\prog\\set.ini", cleared));
  EXPECT_EQ(cleared.attribute, ATTR_NORMAL);
  EXPECT_EQ(cleared.modificationTime, 1000000000) << "a zero time changes nothing";

  ASSERT_TRUE(files.GetStatus("C:\\prog", status));
  EXPECT_EQ(status.attribute & ATTR_DIRECTORY, ATTR_DIRECTORY);
  status.attribute |= ATTR_READONLY;
  ASSERT_TRUE(files.SetStatus("C:\\prog", status));
  EXPECT_EQ(ModeOf(drive.Host("prog")) & 0200, 0200u) << "a folder stays writable";
  EXPECT_FALSE(files.GetStatus("C:\\prog\\none.ini", status));
}

TEST_F(FileOperations, AReadOnlyFileIsProtectedEvenFromRoot) {
  drive.WriteFile("prog\\data.mst", "keep");
  drive.WriteFile("prog\\new.mst", "new");
  MakeReadOnly(drive.Host("prog\\data.mst"));

  EXPECT_EQ(files.OpenRead("C:\\prog\\data.mst", OpenAccess::ReadWrite), nullptr);
  auto reader = files.OpenRead("C:\\prog\\DATA.MST");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(ReadAll(*reader), "keep");
  EXPECT_EQ(files.Create("C:\\prog\\data.mst"), nullptr);
  EXPECT_FALSE(files.Remove("C:\\prog\\data.mst"));
  EXPECT_FALSE(files.Replace("C:\\prog\\new.mst", "C:\\prog\\data.mst"));
  EXPECT_EQ(files.BeginReplace("C:\\prog\\data.mst"), nullptr);
  EXPECT_EQ(drive.ReadFile("prog\\data.mst"), "keep");
  EXPECT_EQ(drive.ReadFile("prog\\new.mst"), "new");
}

TEST_F(FileOperations, RemoveAndReplace) {
  drive.WriteFile("a.txt", "a");
  drive.WriteFile("b.txt", "b");
  drive.WriteFile("c.txt", "c");
  EXPECT_TRUE(files.Replace("C:\\A.TXT", "C:\\d.txt")) << "onto a new name";
  EXPECT_EQ(drive.ReadFile("d.txt"), "a");
  fs::permissions(drive.Host("b.txt"), fs::perms(0640));
  EXPECT_TRUE(files.Replace("C:\\d.txt", "C:\\b.txt"));
  EXPECT_EQ(drive.ReadFile("b.txt"), "a");
  EXPECT_EQ(ModeOf(drive.Host("b.txt")), 0640u) << "the replaced file's mode stays";
  EXPECT_FALSE(fs::exists(drive.Host("d.txt")));
  EXPECT_TRUE(files.Remove("C:\\C.TXT"));
  EXPECT_FALSE(files.Remove("C:\\c.txt"));
  fs::create_directories(drive.Host("folder"));
  EXPECT_FALSE(files.Remove("C:\\folder"));
  EXPECT_FALSE(files.Replace("C:\\", "C:\\b.txt")) << "a drive root is no file";
}

TEST_F(FileOperations, CreateEmptiesAndWritesWhatItIsGiven) {
  drive.WriteFile("out.txt", "a long old content");
  auto out = files.Create("C:\\OUT.TXT");
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->Write("new"));
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(drive.ReadFile("out.txt"), "new");
  EXPECT_EQ(files.Create("C:\\missing\\out.txt"), nullptr);
}

TEST_F(FileOperations, AnAtomicReplaceKeepsTheModeAndLeavesNothingWhenAbandoned) {
  drive.WriteFile("prog\\set.ini", "old");
  fs::permissions(drive.Host("prog\\set.ini"), fs::perms(0640));
  {
    auto replacement = files.BeginReplace("C:\\PROG\\SET.INI");
    ASSERT_NE(replacement, nullptr);
    ASSERT_TRUE(replacement->Write("half"));
  }
  EXPECT_EQ(drive.ReadFile("prog\\set.ini"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(drive.Host("prog")), fs::directory_iterator()), 1);

  auto replacement = files.BeginReplace("C:\\PROG\\SET.INI");
  ASSERT_NE(replacement, nullptr);
  ASSERT_TRUE(replacement->Write("new"));
  EXPECT_EQ(drive.ReadFile("prog\\set.ini"), "old") << "nothing visible before the commit";
  ASSERT_TRUE(replacement->Commit());
  EXPECT_EQ(drive.ReadFile("prog\\set.ini"), "new");
  EXPECT_EQ(ModeOf(drive.Host("prog\\set.ini")), 0640u);
  EXPECT_FALSE(replacement->Commit());

  auto fresh = files.BeginReplace("C:\\prog\\fresh.ini");
  ASSERT_NE(fresh, nullptr);
  ASSERT_TRUE(fresh->Write("fresh") && fresh->Commit());
  EXPECT_EQ(drive.ReadFile("prog\\fresh.ini"), "fresh");
  EXPECT_EQ(files.BeginReplace("C:\\missing\\x.ini"), nullptr);
}

// A replacement whose data never reaches the disk.
class UnflushableFile : public PosixAtomicFile {
 public:
  using PosixAtomicFile::PosixAtomicFile;
  bool Flush() override { return false; }
};

class UnflushableFileSystem : public PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;

 protected:
  std::unique_ptr<AtomicFile> MakeAtomicFile(int descriptor, fs::path temporary,
                                             fs::path target) override {
    return std::make_unique<UnflushableFile>(descriptor, std::move(temporary), std::move(target));
  }
};

TEST(AtomicReplaceFailure, AFailureBeforeTheRenameLeavesTheOldFileIntact) {
  testing::TempFolder temp;
  temp.Write("prog/set.ini", "old");
  UnflushableFileSystem files(testing::TempDriveTable(temp.path()));
  auto replacement = files.BeginReplace("C:\\prog\\set.ini");
  ASSERT_NE(replacement, nullptr);
  EXPECT_TRUE(replacement->Write("new"));
  EXPECT_FALSE(replacement->Commit());
  EXPECT_EQ(temp.Read("prog/set.ini"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.path() / "prog"), fs::directory_iterator()),
            1);

  temp.Write("disk/new.ini", "copy");
  EXPECT_FALSE(files.CopyFile("C:\\disk\\new.ini", "C:\\prog\\set.ini", false));
  EXPECT_EQ(temp.Read("prog/set.ini"), "old") << "the copy goes through the same replacement";
}

TEST_F(FileOperations, FindMatchesWildcardsWithoutRegardToCase) {
  drive.WriteFile("master\\ZAI001-3.MST", "1");
  drive.WriteFile("master\\zai002-3.mst", "2");
  drive.WriteFile("master\\zai01-3.mst", "short");
  drive.WriteFile("master\\zai003-3.mst.bak", "bak");
  drive.WriteFile(cp932::Text("master\\表示.mst"), "j");
  fs::create_directories(drive.Host("master\\zai009-3.mst"));

  // The folder of a matching name comes marked, for the caller to skip.
  std::vector<std::string> names, folders;
  for (const auto& entry : files.FindFiles("C:\\MASTER\\zai\?\?\?-3.mst")) {
    (entry.IsDirectory() ? folders : names).push_back(entry.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ZAI001-3.MST", "zai002-3.mst"}));
  EXPECT_EQ(folders, std::vector<std::string>{"zai009-3.mst"});

  const auto all = files.FindFiles("C:\\master\\*.*");
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[0].name, ".");
  EXPECT_EQ(all[1].name, "..");
  EXPECT_TRUE(all[0].IsDots() && all[0].IsDirectory());
  EXPECT_EQ(all.size(), 8u);

  const auto japanese = files.FindFiles(cp932::Text("C:\\master\\?示.MST"));
  ASSERT_EQ(japanese.size(), 1u);
  EXPECT_EQ(japanese[0].name, cp932::Text("表示.mst"));

  const auto folder = files.FindFiles("C:\\master\\ZAI009-3.MST");
  ASSERT_EQ(folder.size(), 1u);
  EXPECT_TRUE(folder[0].IsDirectory());

  const auto root = files.FindFiles("C:\\*");
  ASSERT_EQ(root.size(), 1u) << "a drive root has no dots";
  EXPECT_EQ(root[0].name, "master");
  EXPECT_TRUE(files.FindFiles("C:\\nothing\\*").empty());

  ASSERT_EQ(files.Chdir("C:\\master"), 0);
  EXPECT_EQ(files.FindFiles("zai0?1-3.mst").size(), 1u);
  EXPECT_EQ(files.FindFiles("C:zai0?2-3.mst").size(), 1u);
}

}  // namespace
}  // namespace tovrin
