// Faults injected into the platform layer while masters are rewritten: after
// each, every master holds exactly its old or its new content under its own
// name, and the conversion reports the failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/master_conversion.hpp"
#include "platform/posix/file_system.hpp"
#include "tests/engine/master_records.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using testing::MasterRecord;
using testing::TempDrive;
using testing::TempDriveTable;
using testing::WithoutByte67;

enum class Step { Create, Write, Flush, Close, Replace, Read };

// Counts the steps of a run and makes the chosen occurrence of one fail.
struct FaultPlan {
  Step step = Step::Create;
  int occurrence = 0;  // 0: nothing fails, the steps are only counted
  bool throws = false;
  std::map<Step, int> counts;

  bool Fails(Step kind) { return ++counts[kind] == occurrence && kind == step; }
};

class FaultyInputFile : public PosixInputFile {
 public:
  FaultyInputFile(int descriptor, FaultPlan& plan) : PosixInputFile(descriptor), plan_(plan) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    if (plan_.Fails(Step::Read)) return std::nullopt;
    return PosixInputFile::Read(buffer, size);
  }

 private:
  FaultPlan& plan_;
};

class FaultyOutputFile : public PosixOutputFile {
 public:
  FaultyOutputFile(int descriptor, FaultPlan& plan) : PosixOutputFile(descriptor), plan_(plan) {}
  bool Write(std::string_view bytes) override {
    if (!plan_.Fails(Step::Write)) return PosixOutputFile::Write(bytes);
    // A full disk takes part of the bytes.
    PosixOutputFile::Write(bytes.substr(0, bytes.size() / 2));
    if (plan_.throws) throw std::runtime_error("device gone");
    return false;
  }
  bool Flush() override { return !plan_.Fails(Step::Flush) && PosixOutputFile::Flush(); }
  bool Close() override {
    const bool failing = plan_.Fails(Step::Close);
    return PosixOutputFile::Close() && !failing;
  }

 private:
  FaultPlan& plan_;
};

class FaultyFileSystem : public PosixFileSystem {
 public:
  FaultyFileSystem(DriveTable drives, FaultPlan& plan)
      : PosixFileSystem(std::move(drives)),
        plan_(plan) {}

  std::unique_ptr<OutputFile> Create(std::string_view path) override {
    if (plan_.Fails(Step::Create)) return nullptr;
    return PosixFileSystem::Create(path);
  }
  bool Replace(std::string_view from, std::string_view to) override {
    if (plan_.Fails(Step::Replace)) return false;
    return PosixFileSystem::Replace(from, to);
  }
  // Only the masters' reads fail, not those of the settings file.
  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess access) override {
    readingMaster_ = access == OpenAccess::ReadWrite;
    return PosixFileSystem::OpenRead(path, access);
  }

 protected:
  std::unique_ptr<InputFile> MakeInputFile(int descriptor) override {
    if (!readingMaster_) return PosixFileSystem::MakeInputFile(descriptor);
    return std::make_unique<FaultyInputFile>(descriptor, plan_);
  }
  std::unique_ptr<OutputFile> MakeOutputFile(int descriptor) override {
    return std::make_unique<FaultyOutputFile>(descriptor, plan_);
  }

 private:
  FaultPlan& plan_;
  bool readingMaster_ = false;
};

struct Master {
  std::string path;  // below C:\, in the order the conversion visits them
  std::string oldContent;
  std::string newContent;
};

using Conversion = int (*)(FileSystem&, const std::string&, RunEvents&);
constexpr const char* kSettings = "C:\\PROD\\velsor1.ini";

// Two small masters around a large one, spread over both master folders.
std::vector<Master> Masters(bool sizeConversion) {
  std::vector<Master> masters = {{"M\\1\\zai001-3.mst", "", ""},
                                 {"M\\1\\zai002-3.mst", "", ""},
                                 {"M\\21\\zai003-3.mst", "", ""}};
  const int recordCounts[] = {2, 2000, 3};
  for (std::size_t m = 0; m < masters.size(); ++m) {
    for (int i = 0; i < recordCounts[m]; ++i) {
      const std::string record = MasterRecord("400400", "000111", 186, i % 2 ? 'A' : 'C');
      std::string converted = sizeConversion ? WithoutByte67(record) : record;
      if (!sizeConversion && record[13] == 'A') converted[13] = 'Z';
      masters[m].oldContent += record + "\r\n";
      masters[m].newContent += converted + "\r\n";
    }
  }
  return masters;
}

class MasterFaults : public ::testing::TestWithParam<bool> {
 protected:
  Conversion Convert() const { return GetParam() ? ConvertMaterialSize : ConvertMaterialType; }

  // A fresh product with its masters; returns the drive.
  std::unique_ptr<TempDrive> MakeProduct() const {
    auto drive = std::make_unique<TempDrive>();
    drive->WriteFile("PROD\\velsor1.ini", "[DIR]\r\nMASTER=C:\\M\\\r\n");
    for (const auto& master : masters_) drive->WriteFile(master.path, master.oldContent);
    return drive;
  }

  // Each master old or new, converted ones first, and no other file.
  void ExpectEachMasterWholeUnderItsName(const TempDrive& drive) const {
    bool sawOld = false;
    for (const auto& master : masters_) {
      const std::string content = drive.ReadFile(master.path);
      const bool isNew = content == master.newContent;
      EXPECT_TRUE(isNew || content == master.oldContent) << master.path;
      EXPECT_FALSE(sawOld && isNew) << master.path << " converted after a failed master";
      sawOld = sawOld || !isNew;
    }
    EXPECT_TRUE(sawOld) << "a failing run converted every master";
    EXPECT_EQ(FileNames(drive.Host("M\\1")),
              (std::set<std::string>{"zai001-3.mst", "zai002-3.mst"}));
    EXPECT_EQ(FileNames(drive.Host("M\\21")), std::set<std::string>{"zai003-3.mst"});
  }

  static std::set<std::string> FileNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }

  std::map<Step, int> CountSteps() const {
    auto drive = MakeProduct();
    FaultPlan plan;
    FaultyFileSystem files(TempDriveTable(drive->folder.path()), plan);
    EXPECT_EQ(Convert()(files, kSettings, NoRunEvents()), 1);
    for (const auto& master : masters_) EXPECT_EQ(drive->ReadFile(master.path), master.newContent);
    return plan.counts;
  }

  void RunWithFault(Step step, int occurrence, bool throws) const {
    SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(step) << " occurrence "
                                      << occurrence << (throws ? " throwing" : ""));
    auto drive = MakeProduct();
    FaultPlan plan{step, occurrence, throws, {}};
    FaultyFileSystem files(TempDriveTable(drive->folder.path()), plan);
    int result = -1;
    EXPECT_NO_THROW(result = Convert()(files, kSettings, NoRunEvents()));
    EXPECT_EQ(result, 0);
    ExpectEachMasterWholeUnderItsName(*drive);

    // Running again on a sound platform converts what is left.
    ASSERT_EQ(Convert()(drive->files, kSettings, NoRunEvents()), 1);
    for (const auto& master : masters_) EXPECT_EQ(drive->ReadFile(master.path), master.newContent);
  }

  const std::vector<Master> masters_ = Masters(GetParam());
};

TEST_P(MasterFaults, EveryStepFailingInTurnLeavesOldOrNewContent) {
  const auto counts = CountSteps();
  for (const Step step :
       {Step::Create, Step::Write, Step::Flush, Step::Close, Step::Replace, Step::Read}) {
    ASSERT_GT(counts.count(step), 0u) << static_cast<int>(step);
    for (int occurrence = 1; occurrence <= counts.at(step); ++occurrence) {
      RunWithFault(step, occurrence, false);
    }
  }
  // The large master needs several writes and reads.
  EXPECT_GE(counts.at(Step::Write), 4);
  EXPECT_GE(counts.at(Step::Read), 4);
}

TEST_P(MasterFaults, AnExceptionFromThePlatformIsAFailedConversion) {
  const int writes = CountSteps().at(Step::Write);
  for (int occurrence = 1; occurrence <= writes; ++occurrence) {
    RunWithFault(Step::Write, occurrence, true);
  }
}

std::string ConversionName(const ::testing::TestParamInfo<bool>& test) {
  return test.param ? "Size" : "Type";
}

INSTANTIATE_TEST_SUITE_P(BothConversions, MasterFaults, ::testing::Values(true, false),
                         ConversionName);

}  // namespace
}  // namespace tovrin
