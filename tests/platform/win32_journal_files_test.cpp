// The journal's file operations on Windows, on real files: what a run keeps
// stays as it was, read-only files included, and what it puts back or takes
// away goes whatever its attributes.
#include <gtest/gtest.h>

#include "platform/journal_files.hpp"
#include "tests/support/temp_folder.hpp"
// Last: its macros would rename the program's own declarations.
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

class Win32JournalFilesTest : public ::testing::Test {
 protected:
  fs::path At(const wchar_t* name) const { return temp_.path() / name; }
  ::DWORD Attributes(const wchar_t* name) const {
    return GetFileAttributesW(At(name).c_str()) & ~FILE_ATTRIBUTE_ARCHIVE;
  }
  void MakeReadOnly(const wchar_t* name) const {
    ASSERT_TRUE(SetFileAttributesW(At(name).c_str(), FILE_ATTRIBUTE_READONLY));
  }

  bool Gone(const wchar_t* name) const { return journal_->KindOf(At(name)) == EntryKind::Absent; }

  testing::TempFolder temp_;
  std::unique_ptr<JournalFiles> journal_ = [this] {
    auto journal = MakeJournalFiles();
    journal->Confine(temp_.path());
    return journal;
  }();
};

TEST_F(Win32JournalFilesTest, KeptFilesHoldTheOldBytesTimesAndAttributes) {
  temp_.Write(L"旧.dat", "old bytes");
  const auto written = fs::last_write_time(At(L"旧.dat"));
  MakeReadOnly(L"旧.dat");

  ASSERT_TRUE(journal_->CopyWhole(At(L"旧.dat"), At(L"copy")));
  EXPECT_EQ(temp_.Read(L"copy"), "old bytes");
  EXPECT_EQ(Attributes(L"copy"), static_cast<::DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(fs::last_write_time(At(L"copy")), written);
  EXPECT_FALSE(journal_->CopyWhole(At(L"旧.dat"), At(L"copy"))) << "a copy never overwrites";

  ASSERT_EQ(journal_->Link(At(L"旧.dat"), At(L"link")), LinkResult::Linked);
  // The run replaces the product's file by a new one; the link keeps the old.
  temp_.Write(L"new", "new bytes");
  ASSERT_TRUE(journal_->MoveBack(At(L"new"), At(L"旧.dat")));
  EXPECT_EQ(temp_.Read(L"旧.dat"), "new bytes");
  EXPECT_EQ(temp_.Read(L"link"), "old bytes");
  EXPECT_EQ(journal_->Link(At(L"missing"), At(L"link2")), LinkResult::Failed);
}

TEST_F(Win32JournalFilesTest, PuttingBackAndTakingAwayIgnoreReadOnly) {
  temp_.Write(L"kept", "before");
  temp_.Write(L"product", "after");
  MakeReadOnly(L"product");
  ASSERT_TRUE(journal_->MoveBack(At(L"kept"), At(L"product")));
  EXPECT_EQ(temp_.Read(L"product"), "before");
  EXPECT_TRUE(Gone(L"kept"));
  EXPECT_FALSE(journal_->MoveBack(At(L"kept"), At(L"product")));
  EXPECT_EQ(temp_.Read(L"product"), "before");

  MakeReadOnly(L"product");
  EXPECT_TRUE(journal_->RemoveEntry(At(L"product")));
  EXPECT_TRUE(Gone(L"product"));
  EXPECT_TRUE(journal_->RemoveEntry(At(L"product"))) << "nothing left is success";

  ASSERT_TRUE(journal_->MakeFolders(At(L"tree\\a\\b")));
  temp_.Write(L"tree\\a\\b\\locked", "x");
  MakeReadOnly(L"tree\\a\\b\\locked");
  EXPECT_FALSE(journal_->RemoveEntry(At(L"tree\\a"))) << "a folder that is not empty stays";
  EXPECT_TRUE(journal_->RemoveTree(At(L"tree")));
  EXPECT_TRUE(Gone(L"tree"));
}

TEST_F(Win32JournalFilesTest, RecordsAreAppendedAndReadBackWhole) {
  const fs::path records = At(L"journal.txt");
  EXPECT_EQ(journal_->ReadWhole(records), std::nullopt);
  ASSERT_TRUE(journal_->AppendDurably(records, "first\r\n"));
  ASSERT_TRUE(journal_->AppendDurably(records, std::string("second\0\xFF", 8)));
  EXPECT_EQ(journal_->ReadWhole(records), std::string("first\r\nsecond\0\xFF", 15));
  EXPECT_TRUE(journal_->FlushFolder(temp_.path()));
  EXPECT_FALSE(journal_->FlushFolder(records));
}

}  // namespace
}  // namespace tovrin
