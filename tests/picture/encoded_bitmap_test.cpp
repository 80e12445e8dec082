// Pictures stored run-length encoded or with bit-field masks: files that
// ImageMagick writes (RLE8 with its rows' padding encoded, bit fields in a
// V5 header), RLE4 composed by hand (ImageMagick writes none), and hostile
// runs that must be refused without writing past the picture.

#include <gtest/gtest.h>

#include <cstdlib>

#include "picture/bitmap_file.hpp"
#include "picture/rgb_pixels.hpp"
#include "tests/picture/picture_files.hpp"
#include "tests/support/bitmap_builder.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin {
namespace {

using testing::BitmapFields;
using testing::BuildBitmapFile;

// Five colours every format holds exactly, top row first.
constexpr int kWidth = 5, kHeight = 3;
const std::vector<std::uint8_t> kPixels = {
    255, 0,   0,   255, 0,   0,   0, 0,   255, 0, 255, 0,   255, 255, 255,  //
    0,   0,   0,   0,   0,   255, 0, 0,   255, 0, 0,   255, 255, 0,   0,    //
    255, 255, 255, 255, 255, 255, 0, 255, 0,   0, 0,   0,   0,   0,   0};

// The loaded picture's plain pixels; empty when it did not load.
std::vector<std::uint8_t> Loaded(testing::PictureFiles& files, const std::string& bytes) {
  std::vector<std::uint8_t> block;
  std::uint16_t bitsOffset = 0;
  if (!LoadBitmapFile(files.files(), files.Put("picture.bmp", bytes), block, bitsOffset)) return {};
  struct Keep : PaintSurface {
    Rect ClientRect() const override { return {}; }
    void StretchBitmap(const Rect&, const DeviceIndependentBitmap& bitmap, DWORD) override {
      rgb = ExpandToRgb(bitmap);
    }
    std::vector<std::uint8_t> rgb;
  } surface;
  PaintLoadedBitmap(surface, {}, block, bitsOffset, SRCCOPY);
  return surface.rgb;
}

TEST(EncodedBitmap, PicturesImageMagickWroteShowTheirPixels) {
#ifdef _WIN32
  GTEST_SKIP() << "the pictures are made by ImageMagick on the Linux side";
#endif
  struct Case {
    const char* options;
    std::uint32_t compression;
  };
  const Case cases[] = {
      {"-type Palette -compress RLE BMP3:", 1},            // RLE8
      {"-define bmp:subtype=RGB565 BMP:", 3},              // 16 bits
      {"-alpha on -define bmp:subtype=ARGB8888 BMP:", 3},  // 32 bits
  };
  testing::TempFolder folder;
  std::string ppm = "P3\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  for (const std::uint8_t value : kPixels) ppm += std::to_string(value) + " ";
  folder.Write("source.ppm", ppm);
  testing::PictureFiles files;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string command = "convert " + (folder.path() / "source.ppm").string() + " " +
                                c.options + (folder.path() / "made.bmp").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string bytes = folder.Read("made.bmp");
    ASSERT_GT(bytes.size(), 34u);
    ASSERT_EQ(static_cast<std::uint8_t>(bytes[30]), c.compression);
    EXPECT_EQ(Loaded(files, bytes), kPixels);
  }
}

TEST(EncodedBitmap, RunLengthDataIsDecodedOrRefusedWithinThePicture) {
  struct Case {
    const char* what;
    std::uint16_t bitCount;
    std::string data;
    std::vector<std::uint8_t> expected;  // empty: refused
  };
  const std::vector<std::uint8_t> drawn = {
      0,   0, 255, 255, 0,   0, 0,   255, 0,   // top: literal 3 1 2
      255, 0, 0,   0,   255, 0, 255, 0,   0};  // bottom: run of 1 2
  const Case cases[] = {
      {"RLE4 run and literal", 4, std::string("\x03\x12\x00\x00\x00\x03\x31\x20\x00\x01", 10),
       drawn},
      {"RLE8 run and move",
       8,
       std::string("\x01\x01\x00\x02\x01\x01\x01\x03\x00\x01", 10),
       {0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"a run longer than the row", 8, std::string("\xFF\x01\x00\x01", 4), {}},
      {"a literal past the row's padding",
       8,
       std::string("\x00\x05\x01\x01\x01\x01\x01\x00\x00\x01", 10),
       {}},
      {"a move below the picture", 8, std::string("\x00\x02\x00\x05\x01\x01", 6), {}},
      {"a literal cut short by the end", 4, std::string("\x00\x06\x12", 3), {}},
  };
  testing::PictureFiles files;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BitmapFields fields{
        .width = 3, .height = 2, .bitCount = c.bitCount, .compression = c.bitCount == 4 ? 2u : 1u};
    fields.colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    fields.clrUsed = 4;
    fields.sizeImage = static_cast<std::uint32_t>(c.data.size());
    fields.pixels = c.data;
    EXPECT_EQ(Loaded(files, BuildBitmapFile(fields)), c.expected);
  }
}

}  // namespace
}  // namespace tovrin
