#include <gtest/gtest.h>

#include "picture/bitmap_file.hpp"
#include "tests/picture/picture_files.hpp"

namespace tovrin {
namespace {

class ReadFileChunkedTest : public ::testing::Test {
 protected:
  // Opens a file of `size` bytes counting 0, 1, 2, ... and forgets the reads so far.
  std::unique_ptr<InputFile> OpenFileOf(std::size_t size) {
    content_.clear();
    for (std::size_t i = 0; i < size; ++i) content_.push_back(static_cast<char>(i * 7));
    auto file = files_.files().OpenRead(files_.Put("data.bin", content_));
    files_.TakeReadSizes();
    return file;
  }

  testing::PictureFiles files_;
  std::string content_;
};

TEST_F(ReadFileChunkedTest, ReadsWholeLengthsInPiecesOfAtMost32768) {
  struct Case {
    DWORD length;
    std::vector<std::size_t> pieces;
  };
  for (const Case& c : {Case{1, {1}}, Case{32768, {32768}}, Case{32769, {32768, 1}},
                        Case{100000, {32768, 32768, 32768, 1696}}}) {
    SCOPED_TRACE(c.length);
    auto file = OpenFileOf(c.length);
    std::string buffer(c.length, '\0');
    EXPECT_EQ(ReadFileChunked(*file, buffer.data(), c.length), c.length);
    EXPECT_EQ(buffer, content_);
    EXPECT_EQ(files_.TakeReadSizes(), c.pieces);
  }
}

TEST_F(ReadFileChunkedTest, ShortFilesGiveZero) {
  for (DWORD length : {2u, 32769u, 65537u}) {
    SCOPED_TRACE(length);
    auto file = OpenFileOf(length - 1);
    std::string buffer(length, '\0');
    EXPECT_EQ(ReadFileChunked(*file, buffer.data(), length), 0u);
  }
}

TEST_F(ReadFileChunkedTest, ZeroLengthReadsNothing) {
  auto file = OpenFileOf(10);
  char byte = 'x';
  EXPECT_EQ(ReadFileChunked(*file, &byte, 0), 0u);
  EXPECT_TRUE(files_.TakeReadSizes().empty());
  EXPECT_EQ(byte, 'x');
}

}  // namespace
}  // namespace tovrin
