// The log names a file's old and new content as the run streamed it: after
// a step that leaves the file in place, the file on the disk is changed
// behind the run's back, so a log that read it again would name that.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/log_output.hpp"
#include "app/run_log.hpp"
#include "engine/observed_file_system.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

using testing::TempDrive;

// sha256 of "old", "new", "member".
const std::string kOld =
    "3 bytes sha256 cba06b5736faf67e54b07b561eae94395e774c517a7d910a54369e1263ccfbd4";
const std::string kNew =
    "3 bytes sha256 11507a0e2f5e69d5dfa40a62a1bd7b6ee57e6bcd85c67c9b8431b36fff21c437";
const std::string kMember =
    "6 bytes sha256 e31ab643c44f7a0ec824b59d1194d60dac334200d845e61d2d289daa0f087ea4";
const std::string kChanged = "file C:\\P\\m.mst: old " + kOld + ", new ";

std::string ReadWhole(InputFile& input) { return ReadToEnd(input).value_or("(read failed)"); }

void WriteWorkFile(FileSystem& files, const std::string& path, std::string_view bytes) {
  auto work = files.Create(path);
  ASSERT_TRUE(work && work->Write(bytes) && work->Close());
}

struct Step {
  const char* name;
  std::function<void(FileSystem&)> run;
  std::string expected;  // the log's line about C:\P\m.mst, without its time
  bool stays = true;     // the file is still there after the step
};

class StreamedDigests : public ::testing::TestWithParam<Step> {};

TEST_P(StreamedDigests, TheLogNamesTheContentAsItStreamed) {
  TempDrive drive;
  drive.WriteFile("P\\m.mst", "old");
  ObservedFileSystem files(drive.files);
  std::ostringstream errors;
  const auto logPath = drive.folder.path() / "run.log";
  {
    LogOutput output(logPath.string(), errors, std::chrono::system_clock::now());
    RunLog log(output, files, {});
    log.ProductAccepted("C:\\P\\", 1);
    files.Observe("C:\\P\\", log);
    GetParam().run(files);
    if (GetParam().stays) drive.WriteFile("P\\m.mst", "behind the run's back");
    log.RecordStarted(2, 2, "NEXT", "C:\\P\\");
    files.StopObserving();
  }
  const std::string text = drive.folder.Read("run.log");
  EXPECT_NE(text.find(" " + GetParam().expected + "\n"), std::string::npos) << text;
  EXPECT_EQ(errors.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StreamedDigests,
    ::testing::Values(Step{"ReadWholeThenReplacedByAWorkFile",
                           [](FileSystem& files) {
                             auto master = files.OpenRead("C:\\P\\m.mst", OpenAccess::ReadWrite);
                             ASSERT_EQ(ReadWhole(*master), "old");
                             master.reset();
                             WriteWorkFile(files, "C:\\P\\temp.mst", "new");
                             ASSERT_TRUE(files.Replace("C:\\P\\temp.mst", "C:\\P\\m.mst"));
                           },
                           kChanged + kNew},
                      // The rest of the read shows the old content, no longer the file's.
                      Step{"AReadCutAcrossAReplacementIsNotTheNewContent",
                           [](FileSystem& files) {
                             auto master = files.OpenRead("C:\\P\\m.mst", OpenAccess::Read);
                             char first = 0;
                             ASSERT_EQ(master->Read(&first, 1), 1u);
                             WriteWorkFile(files, "C:\\P\\temp.mst", "new");
                             ASSERT_TRUE(files.Replace("C:\\P\\temp.mst", "C:\\P\\m.mst"));
                             ASSERT_EQ(ReadWhole(*master), "ld");
                           },
                           kChanged + kNew},
                      // Its time stamp set after the content took its place, as a member's is.
                      Step{"ReplacedWholeThenItsTimeSet",
                           [](FileSystem& files) {
                             auto member = files.BeginReplace("C:\\P\\m.mst");
                             ASSERT_TRUE(member->Write("mem") && member->Write("ber") &&
                                         member->Commit());
                             FileStatus status;
                             ASSERT_TRUE(files.GetStatus("C:\\P\\m.mst", status));
                             status.modificationTime -= 3600;
                             ASSERT_TRUE(files.SetStatus("C:\\P\\m.mst", status));
                           },
                           kChanged + kMember},
                      Step{"ReadWholeThenRemoved",
                           [](FileSystem& files) {
                             auto master = files.OpenRead("C:\\P\\m.mst", OpenAccess::Read);
                             ASSERT_EQ(ReadWhole(*master), "old");
                             ASSERT_TRUE(files.Remove("C:\\P\\m.mst"));
                           },
                           "file C:\\P\\m.mst removed: old " + kOld, false}),
    [](const ::testing::TestParamInfo<Step>& step) { return std::string(step.param.name); });

}  // namespace
}  // namespace tovrin
