#include "platform/text_reader.hpp"

#include <gtest/gtest.h>

#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

std::vector<std::string> ReadLines(testing::TempDrive& drive, std::string_view content) {
  drive.WriteFile("info.txt", content);
  auto file = drive.files.OpenRead("C:\\info.txt");
  EXPECT_NE(file, nullptr);
  TextReader reader(*file);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(reader.Failed());
  EXPECT_FALSE(reader.ReadLine(line)) << "the end stays the end";
  EXPECT_EQ(line, "");
  return lines;
}

using Lines = std::vector<std::string>;

TEST(TextReader, LineEndsAsInTextMode) {
  testing::TempDrive drive;
  EXPECT_EQ(ReadLines(drive, "one\r\ntwo\nthree"), (Lines{"one", "two", "three"}));
  EXPECT_EQ(ReadLines(drive, "a\rb\r\r\n\r\n\n"), (Lines{"a\rb\r", "", ""}));
  EXPECT_EQ(ReadLines(drive, "last\r"), (Lines{"last\r"})) << "a lone CR stays";
  EXPECT_EQ(ReadLines(drive, ""), Lines{});
}

TEST(TextReader, ControlZEndsTheFile) {
  testing::TempDrive drive;
  EXPECT_EQ(ReadLines(drive, "one\r\ntw\x1Ao\r\nthree\r\n"), (Lines{"one", "tw"}));
  EXPECT_EQ(ReadLines(drive, "one\r\n\x1A"), (Lines{"one"}));
}

TEST(TextReader, LinesLongerThanTheBufferAndPairsAcrossItsEdge) {
  testing::TempDrive drive;
  const std::string first(64 * 1024 - 1, 'x');  // its CR is the buffer's last byte
  const std::string second(150000, 'y');
  EXPECT_EQ(ReadLines(drive, first + "\r\n" + second + "\r\nz"), (Lines{first, second, "z"}));
}

// A file whose second read fails.
class FailingInput : public InputFile {
 public:
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    if (reads_++ > 0) return std::nullopt;
    const std::string_view text = "ok\r\npartial";
    const std::size_t count = std::min(size, text.size());
    text.copy(buffer, count);
    return count;
  }

 private:
  int reads_ = 0;
};

TEST(TextReader, AReadErrorEndsTheFileAndIsReported) {
  FailingInput input;
  TextReader reader(input);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "ok");
  EXPECT_FALSE(reader.Failed());
  reader.ReadLine(line);
  EXPECT_TRUE(reader.Failed());
  EXPECT_FALSE(reader.ReadLine(line));
}

}  // namespace
}  // namespace tovrin
