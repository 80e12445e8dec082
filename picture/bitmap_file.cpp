#include "picture/bitmap_file.hpp"

#include <array>
#include <new>

#include "picture/bitmap_header.hpp"
#include "picture/chunked_read.hpp"

namespace tovrin {
namespace {

// A header with its palette and no more: the block's first allocation.
constexpr std::size_t kInitialBlockSize = kInfoHeaderSize + 256 * 4;

// Limits a wizard picture never comes near; a header beyond them is hostile
// or broken and is refused before anything is allocated.
constexpr std::int32_t kMaxDimension = 32767;
constexpr std::uint64_t kMaxImageBytes = 64 * 1024 * 1024;
constexpr std::uint32_t kMaxColours = 256;

bool IsSupportedFormat(const BitmapInfoHeader& header) {
  if (header.biSize < kInfoHeaderSize || header.biSize > kLongestInfoHeaderSize) return false;
  if (header.biWidth <= 0 || header.biWidth > kMaxDimension) return false;
  if (header.biHeight == 0 || header.biHeight < -kMaxDimension || header.biHeight > kMaxDimension)
    return false;
  if (header.biCompression != kBiRgb) return false;
  switch (header.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

// Pictures of 16 bits and more carry their colours in the pixels.
std::uint32_t ColourCount(const BitmapInfoHeader& header) {
  const auto used = static_cast<std::uint16_t>(header.biClrUsed);
  if (used != 0 || header.biBitCount > 8) return used;
  return 1u << header.biBitCount;
}

// Where each part of the picture lies in the file, checked against its size.
struct FileLayout {
  std::uint64_t colourTable = 0;
  std::uint64_t pixels = 0;
};

std::optional<FileLayout> LocateParts(const BitmapFileHeader& fileHeader,
                                      const BitmapInfoHeader& header, std::uint32_t colours,
                                      std::uint64_t fileSize) {
  FileLayout layout;
  layout.colourTable = kFileHeaderSize + header.biSize;
  const std::uint64_t tableEnd = layout.colourTable + 4ull * colours;
  layout.pixels = fileHeader.bfOffBits != 0 ? fileHeader.bfOffBits : tableEnd;
  if (tableEnd > fileSize || layout.pixels + header.biSizeImage > fileSize) return std::nullopt;
  return layout;
}

// Fills in the counts a file may leave 0 and refuses an image size that
// cannot hold every row.
bool CompleteSizes(BitmapInfoHeader& header, std::uint32_t colours) {
  if (header.biClrUsed == 0) header.biClrUsed = colours;
  const std::uint64_t needed = RowLength(header.biWidth, header.biBitCount) * PictureHeight(header);
  if (needed > kMaxImageBytes) return false;
  if (header.biSizeImage == 0) header.biSizeImage = static_cast<std::uint32_t>(needed);
  return header.biSizeImage >= needed && header.biSizeImage <= kMaxImageBytes;
}

// Moves to `offset`; a file read past it is opened again.
bool MoveTo(FileSystem& files, const std::string& path, std::unique_ptr<InputFile>& file,
            std::uint64_t position, std::uint64_t offset) {
  if (offset < position) {
    file = files.OpenRead(path);
    if (!file) return false;
    position = 0;
  }
  return SkipBytes(*file, offset - position);
}

}  // namespace

int LoadBitmapFile(FileSystem& files, const std::string& path, std::vector<std::uint8_t>& block,
                   std::uint16_t& bitsOffset) {
  auto file = files.OpenRead(path);
  if (!file) return 0;
  FileStatus status;
  if (!files.GetStatus(path, status)) return 0;

  std::array<std::uint8_t, kFileHeaderSize> fileBytes;
  if (ReadFully(*file, fileBytes.data(), fileBytes.size()) != fileBytes.size()) return 0;
  const BitmapFileHeader fileHeader = ParseFileHeader(fileBytes);
  if (fileHeader.bfType != kBitmapFileType) return 0;

  block.assign(kInitialBlockSize, 0);
  if (ReadFully(*file, block.data(), kInfoHeaderSize) != kInfoHeaderSize) return 0;
  BitmapInfoHeader header = ParseInfoHeader(block);
  if (header.biSize == kCoreHeaderSize || !IsSupportedFormat(header)) return 0;
  const std::size_t headerRest = header.biSize - kInfoHeaderSize;
  if (ReadFully(*file, block.data() + kInfoHeaderSize, headerRest) != headerRest) return 0;

  const std::uint32_t colours = ColourCount(header);
  if (colours > kMaxColours || !CompleteSizes(header, colours)) return 0;
  const auto layout = LocateParts(fileHeader, header, colours, status.size);
  if (!layout) return 0;

  bitsOffset = static_cast<std::uint16_t>(header.biSize + 4 * colours);
  try {
    block.resize(bitsOffset + static_cast<std::size_t>(header.biSizeImage));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  StoreInfoHeader(header, block);

  const std::size_t tableBytes = 4 * colours;
  if (ReadFully(*file, block.data() + header.biSize, tableBytes) != tableBytes) return 0;
  if (!MoveTo(files, path, file, layout->colourTable + tableBytes, layout->pixels)) return 0;
  const DWORD read = ReadFileChunked(*file, block.data() + bitsOffset, header.biSizeImage);
  return read == header.biSizeImage ? 1 : 0;
}

int DrawBitmapFile(FileSystem& files, PaintSurface& surface, const Rect& rect,
                   const std::string& path, DWORD rop) {
  std::vector<std::uint8_t> block;
  std::uint16_t bitsOffset = 0;
  if (!LoadBitmapFile(files, path, block, bitsOffset)) return 0;

  const BitmapInfoHeader header = ParseInfoHeader(block);
  BitmapPalette palette = CreateBitmapPalette(std::span(block).first(bitsOffset));
  DeviceIndependentBitmap bitmap;
  bitmap.width = header.biWidth;
  bitmap.height = static_cast<int>(PictureHeight(header));
  bitmap.topDown = IsTopDown(header);
  bitmap.bitCount = header.biBitCount;
  bitmap.colours = std::move(palette.entries);
  bitmap.bits = block.data() + bitsOffset;
  bitmap.bitsSize = header.biSizeImage;
  surface.StretchBitmap(rect, bitmap, rop);
  return 1;
}

}  // namespace tovrin
