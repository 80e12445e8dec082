#include <gtest/gtest.h>

#include "picture/bitmap_file.hpp"
#include "picture/remembered_picture.hpp"
#include "picture/rgb_pixels.hpp"
#include "tests/support/bitmap_builder.hpp"
#include "tests/picture/picture_files.hpp"

namespace tovrin {
namespace {

using testing::BitmapFields;
using testing::BuildBitmapFile;

// Keeps what each StretchBitmap call would have put on the screen.
class RecordingSurface : public PaintSurface {
 public:
  struct Call {
    Rect destination;
    DWORD rop;
    int width, height;
    std::vector<std::uint8_t> rgb;
  };
  Rect ClientRect() const override { return {0, 0, 40, 30}; }
  void StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                     DWORD rop) override {
    calls.push_back({destination, rop, bitmap.width, bitmap.height, ExpandToRgb(bitmap)});
  }
  std::vector<Call> calls;
};

std::vector<std::uint8_t> Rgb(std::initializer_list<std::uint32_t> colours) {
  std::vector<std::uint8_t> rgb;
  for (std::uint32_t c : colours) {
    rgb.push_back(static_cast<std::uint8_t>(c >> 16));
    rgb.push_back(static_cast<std::uint8_t>(c >> 8));
    rgb.push_back(static_cast<std::uint8_t>(c));
  }
  return rgb;
}

class DrawBitmapFileTest : public ::testing::Test {
 protected:
  int Draw(const std::string& bytes) {
    const std::string path = files_.Put("picture.bmp", bytes);
    return DrawBitmapFile(files_.files(), surface_, surface_.ClientRect(), path, SRCCOPY);
  }

  testing::PictureFiles files_;
  RecordingSurface surface_;
};

TEST_F(DrawBitmapFileTest, PaintsTheWholePictureStretchedIntoTheRectangle) {
  // 2 × 2 at 4 bits, stored bottom row first.
  BitmapFields fields{.width = 2, .height = 2, .bitCount = 4};
  fields.colours.assign(16, 0);
  fields.colours[1] = 0xFF0000, fields.colours[2] = 0x00FF00, fields.colours[3] = 0x0000FF;
  fields.pixels = std::string("\x12\0\0\0", 4) + std::string("\x30\0\0\0", 4);
  ASSERT_EQ(Draw(BuildBitmapFile(fields)), 1);
  ASSERT_EQ(surface_.calls.size(), 1u);
  const auto& call = surface_.calls[0];
  EXPECT_EQ(call.destination.right, 40);
  EXPECT_EQ(call.destination.bottom, 30);
  EXPECT_EQ(call.rop, SRCCOPY);
  EXPECT_EQ(call.width, 2);
  EXPECT_EQ(call.height, 2);
  EXPECT_EQ(call.rgb, Rgb({0x0000FF, 0x000000, 0xFF0000, 0x00FF00}));
}

TEST_F(DrawBitmapFileTest, TopDownPicturesComeOutTheRightWayUp) {
  BitmapFields bottomUp{.width = 1, .height = 2, .bitCount = 24};
  bottomUp.pixels = std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red row, then blue
  BitmapFields topDown = bottomUp;
  topDown.height = -2;
  ASSERT_EQ(Draw(BuildBitmapFile(bottomUp)), 1);
  ASSERT_EQ(Draw(BuildBitmapFile(topDown)), 1);
  ASSERT_EQ(surface_.calls.size(), 2u);
  EXPECT_EQ(surface_.calls[0].rgb, Rgb({0x0000FF, 0xFF0000}));
  EXPECT_EQ(surface_.calls[1].rgb, Rgb({0xFF0000, 0x0000FF}));
  EXPECT_EQ(surface_.calls[1].height, 2);
}

TEST_F(DrawBitmapFileTest, PaletteIsTheColourTableOrTheStockDefault) {
  BitmapFields indexed{.width = 1, .height = 1, .bitCount = 1};
  indexed.colours = {0x102030, 0x405060};
  indexed.pixels = std::string("\x80\0\0\0", 4);
  const std::string path = files_.Put("indexed.bmp", BuildBitmapFile(indexed));
  std::vector<std::uint8_t> block;
  std::uint16_t bitsOffset = 0;
  ASSERT_EQ(LoadBitmapFile(files_.files(), path, block, bitsOffset), 1);
  const BitmapPalette palette = CreateBitmapPalette(std::span(block).first(bitsOffset));
  EXPECT_FALSE(palette.stockDefault);
  EXPECT_EQ(palette.entries, indexed.colours);

  BitmapFields trueColour{.width = 1, .height = 1, .bitCount = 24};
  trueColour.pixels = std::string(4, '\0');
  const std::string path24 = files_.Put("true.bmp", BuildBitmapFile(trueColour));
  ASSERT_EQ(LoadBitmapFile(files_.files(), path24, block, bitsOffset), 1);
  const BitmapPalette stock = CreateBitmapPalette(std::span(block).first(bitsOffset));
  EXPECT_TRUE(stock.stockDefault);
  EXPECT_TRUE(stock.entries.empty());
}

TEST_F(DrawBitmapFileTest, NothingIsPaintedWhenThePictureCannotBeLoaded) {
  EXPECT_EQ(DrawBitmapFile(files_.files(), surface_, {0, 0, 5, 5}, "C:\\missing.bmp", SRCCOPY), 0);
  EXPECT_EQ(Draw("BX not a bitmap at all, but long enough to hold both headers........"), 0);
  EXPECT_TRUE(surface_.calls.empty());
}

TEST_F(DrawBitmapFileTest, ARememberedPictureOutlivesItsFile) {
  // The first disk taken out after a prompt: the window paints on.
  BitmapFields fields{.width = 1, .height = 1, .bitCount = 24};
  fields.pixels = std::string("\x30\x20\x10\0", 4);
  const std::string path = files_.Put("view.bmp", BuildBitmapFile(fields));
  RememberedPicture picture;
  EXPECT_EQ(picture.Draw(files_.files(), surface_, {0, 0, 4, 4}, path, SRCCOPY), 1);
  ASSERT_TRUE(files_.files().Remove(path));
  EXPECT_EQ(picture.Draw(files_.files(), surface_, {0, 0, 4, 4}, path, SRCCOPY), 1);
  EXPECT_EQ(DrawBitmapFile(files_.files(), surface_, {0, 0, 4, 4}, path, SRCCOPY), 0);
  EXPECT_EQ(picture.Draw(files_.files(), surface_, {0, 0, 4, 4}, "C:\\other.bmp", SRCCOPY), 0);
  ASSERT_EQ(surface_.calls.size(), 2u);
  EXPECT_EQ(surface_.calls[1].rgb, Rgb({0x102030}));
}

}  // namespace
}  // namespace tovrin
