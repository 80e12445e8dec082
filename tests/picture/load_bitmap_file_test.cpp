#include <gtest/gtest.h>

#include "picture/bitmap_file.hpp"
#include "picture/bitmap_header.hpp"
#include "tests/support/bitmap_builder.hpp"
#include "tests/picture/picture_files.hpp"

namespace tovrin {
namespace {

using testing::BitmapFields;
using testing::BuildBitmapFile;
using testing::Rows;

std::vector<std::uint32_t> Greys(std::size_t count) {
  std::vector<std::uint32_t> colours;
  for (std::size_t i = 0; i < count; ++i)
    colours.push_back(static_cast<std::uint32_t>(i * 0x010101));
  return colours;
}

class LoadBitmapFileTest : public ::testing::Test {
 protected:
  // Loads `bytes`; the result of LoadBitmapFile.
  int Load(const std::string& bytes) {
    const std::string path = files_.Put("picture.bmp", bytes);
    return LoadBitmapFile(files_.files(), path, block_, bitsOffset_);
  }
  BitmapInfoHeader Header() const { return ParseInfoHeader(block_); }
  std::string Pixels() const { return {block_.begin() + bitsOffset_, block_.end()}; }

  testing::PictureFiles files_;
  std::vector<std::uint8_t> block_;
  std::uint16_t bitsOffset_ = 0;
};

TEST_F(LoadBitmapFileTest, IndexedPicturesWithoutUsedCountGetTheirFullColourTable) {
  struct Case {
    std::uint16_t bits;
    std::size_t colours;
    std::uint32_t rowLength;
  };
  for (const Case c : {Case{1, 2, 4}, Case{4, 16, 4}, Case{8, 256, 4}}) {
    SCOPED_TRACE(c.bits);
    BitmapFields fields{.width = 3, .height = 2, .bitCount = c.bits};
    fields.colours = Greys(c.colours);
    fields.pixels = Rows(c.rowLength, 1, 0x11) + Rows(c.rowLength, 1, 0x22);
    ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
    EXPECT_EQ(Header().biClrUsed, c.colours);
    EXPECT_EQ(Header().biSizeImage, 2 * c.rowLength);
    EXPECT_EQ(bitsOffset_, 40 + 4 * c.colours);
    EXPECT_EQ(block_.size(), bitsOffset_ + 2 * c.rowLength);
    EXPECT_EQ(Pixels(), fields.pixels);
  }
}

TEST_F(LoadBitmapFileTest, PixelDataIsTakenFromTheOffsetTheFileHeaderGives) {
  BitmapFields fields{.width = 4, .height = 1, .bitCount = 8};
  fields.colours = Greys(256);
  fields.gapBeforePixels = 6;
  fields.pixels = "\x01\x02\x03\x04";
  ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
  EXPECT_EQ(Pixels(), fields.pixels);
}

TEST_F(LoadBitmapFileTest, WithoutOffsetThePixelsFollowTheColourTable) {
  BitmapFields fields{.width = 1, .height = 2, .bitCount = 24, .offBitsZero = true};
  fields.pixels = std::string("\x10\x20\x30\x00\x40\x50\x60\x00", 8);
  ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
  EXPECT_EQ(bitsOffset_, 40);  // a 24-bit picture has no table: pixels right after the header
  EXPECT_EQ(Header().biClrUsed, 0u);
  EXPECT_EQ(Pixels(), fields.pixels);
}

TEST_F(LoadBitmapFileTest, UsedColourCountSmallerThanTheBitCountAllowsIsKept) {
  BitmapFields fields{.width = 4, .height = 1, .bitCount = 8, .clrUsed = 3};
  fields.colours = {0xFF0000, 0x00FF00, 0x0000FF};
  fields.pixels = std::string("\x00\x01\x02\x00", 4);
  ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
  EXPECT_EQ(bitsOffset_, 40 + 12);
  const BitmapPalette palette = CreateBitmapPalette(std::span(block_).first(bitsOffset_));
  EXPECT_FALSE(palette.stockDefault);
  EXPECT_EQ(palette.entries, fields.colours);
}

TEST_F(LoadBitmapFileTest, MissingImageSizeIsComputedFromRowsRoundedToFourBytes) {
  // 10 pixels of 4 bits are 40 bits, rounded up to 64: 8 bytes a row.
  BitmapFields fields{.width = 10, .height = 3, .bitCount = 4};
  fields.colours = Greys(16);
  fields.pixels = Rows(8, 3, 0x12);
  ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
  EXPECT_EQ(Header().biSizeImage, 24u);
  EXPECT_EQ(Pixels(), fields.pixels);
}

TEST_F(LoadBitmapFileTest, LongerHeadersKeepTheirColourTableAndPixels) {
  for (std::uint32_t headerSize : {52u, 108u, 124u}) {
    SCOPED_TRACE(headerSize);
    BitmapFields fields{
        .width = 2, .height = 1, .bitCount = 8, .headerSize = headerSize, .clrUsed = 2};
    fields.colours = {0x123456, 0xABCDEF};
    fields.pixels = std::string("\x01\x00\x00\x00", 4);
    ASSERT_EQ(Load(BuildBitmapFile(fields)), 1);
    EXPECT_EQ(bitsOffset_, headerSize + 8);
    const BitmapPalette palette = CreateBitmapPalette(std::span(block_).first(bitsOffset_));
    EXPECT_EQ(palette.entries, fields.colours);
    EXPECT_EQ(Pixels(), fields.pixels);
  }
}

TEST_F(LoadBitmapFileTest, FilesThatAreNoUsablePictureAreRefused) {
  BitmapFields good{.width = 2, .height = 2, .bitCount = 24};
  good.pixels = Rows(8, 2, 0x40);
  const std::string valid = BuildBitmapFile(good);
  ASSERT_EQ(Load(valid), 1);

  std::string notBm = valid;
  notBm[0] = 'M', notBm[1] = 'B';
  EXPECT_EQ(Load(notBm), 0);
  EXPECT_EQ(Load(valid.substr(0, 10)), 0);                // shorter than the file header
  EXPECT_EQ(Load(valid.substr(0, 14 + 39)), 0);           // shorter than the information header
  EXPECT_EQ(Load(valid.substr(0, valid.size() - 1)), 0);  // pixel data one byte short
  EXPECT_EQ(Load(""), 0);

  std::string coreFile = valid;
  coreFile[14] = 12;  // the older 12-byte core header
  EXPECT_EQ(Load(coreFile), 0);

  EXPECT_EQ(LoadBitmapFile(files_.files(), "C:\\absent.bmp", block_, bitsOffset_), 0);
}

TEST_F(LoadBitmapFileTest, HostileSizesAreRefusedBeforeAnythingIsAllocated) {
  const auto refused = [&](BitmapFields fields) {
    const int result = Load(BuildBitmapFile(fields));
    return result == 0 && block_.size() <= 1064;
  };
  const std::string row = Rows(4, 1, 0);
  EXPECT_TRUE(refused({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1, .height = 1, .sizeImage = 0xFFFFFFFF, .pixels = row}));
  EXPECT_TRUE(refused({.width = 30000, .height = 30000, .bitCount = 32, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1, .height = 1, .bitCount = 8, .clrUsed = 0xFFFF, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1, .height = 1, .bitCount = 8, .clrUsed = 257, .pixels = row}));
  EXPECT_TRUE(refused({.width = -5, .height = 1, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1, .height = 0, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1, .height = 1, .bitCount = 7, .pixels = row}));
  // An image size too small for its rows would let a painter read past it.
  EXPECT_TRUE(refused({.width = 8, .height = 8, .sizeImage = 4, .pixels = Rows(32, 8, 0)}));
  std::string hugeHeader = BuildBitmapFile({.width = 1, .height = 1, .pixels = row});
  hugeHeader[17] = 0x7F;  // biSize 0x7F000028
  EXPECT_EQ(Load(hugeHeader), 0);
  // Compression a picture of that bit count cannot have, or a JPEG inside.
  EXPECT_TRUE(refused({.width = 1, .height = 1, .bitCount = 24, .compression = 1, .pixels = row}));
  EXPECT_TRUE(refused({.width = 1,
                       .height = 1,
                       .bitCount = 8,
                       .compression = 4,
                       .colours = Greys(256),
                       .pixels = row}));
}

TEST_F(LoadBitmapFileTest, PixelOffsetPastTheEndOfTheFileIsRefused) {
  BitmapFields fields{.width = 1, .height = 1, .bitCount = 24, .pixels = Rows(4, 1, 0)};
  std::string bytes = BuildBitmapFile(fields);
  bytes[10] = '\xF0', bytes[11] = '\xFF', bytes[12] = '\xFF', bytes[13] = '\x7F';
  EXPECT_EQ(Load(bytes), 0);
}

TEST_F(LoadBitmapFileTest, PixelOffsetInsideTheHeadersReadsFromThere) {
  // A file whose pixel data overlaps its own header is odd but readable.
  BitmapFields fields{.width = 1, .height = 1, .bitCount = 24, .pixels = Rows(4, 1, 0)};
  std::string bytes = BuildBitmapFile(fields);
  bytes[10] = 2, bytes[11] = 0, bytes[12] = 0, bytes[13] = 0;
  ASSERT_EQ(Load(bytes), 1);
  EXPECT_EQ(Pixels(), bytes.substr(2, 4));
}

TEST_F(LoadBitmapFileTest, PixelDataIsReadInPiecesOfAtMost32768Bytes) {
  const auto readsOfPixels = [&](std::int32_t height) {
    BitmapFields fields{.width = 4096, .height = height, .bitCount = 8, .clrUsed = 1};
    fields.colours = {0};
    fields.pixels = Rows(4096, static_cast<std::size_t>(height), 7);
    const std::string path = files_.Put("wide.bmp", BuildBitmapFile(fields));
    files_.TakeReadSizes();
    EXPECT_EQ(LoadBitmapFile(files_.files(), path, block_, bitsOffset_), 1);
    EXPECT_EQ(Pixels(), fields.pixels);
    auto sizes = files_.TakeReadSizes();
    // The file header, the information header and the one-entry colour table.
    EXPECT_EQ(std::vector<std::size_t>(sizes.begin(), sizes.begin() + 3),
              (std::vector<std::size_t>{14, 40, 4}));
    return std::vector<std::size_t>(sizes.begin() + 3, sizes.end());
  };
  EXPECT_EQ(readsOfPixels(8), (std::vector<std::size_t>{32768}));
  EXPECT_EQ(readsOfPixels(9), (std::vector<std::size_t>{32768, 4096}));
  EXPECT_EQ(readsOfPixels(17), (std::vector<std::size_t>{32768, 32768, 4096}));
}

}  // namespace
}  // namespace tovrin
