#include "picture/bitmap_file.hpp"

#include <algorithm>
#include <array>
#include <new>

#include "picture/bitmap_header.hpp"
#include "picture/chunked_read.hpp"
#include "picture/encoded_pixels.hpp"

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
  switch (header.biCompression) {
    case kBiRgb:
      break;
    // Encoded rows run bottom-up only.
    case kBiRle8:
      return header.biBitCount == 8 && !IsTopDown(header);
    case kBiRle4:
      return header.biBitCount == 4 && !IsTopDown(header);
    case kBiBitFields:
      return header.biBitCount == 16 || header.biBitCount == 32;
    default:
      return false;
  }
  switch (header.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

bool IsRunLength(const BitmapInfoHeader& header) {
  return header.biCompression == kBiRle8 || header.biCompression == kBiRle4;
}

// The three masks follow a plain information header; longer headers hold
// them.
std::uint32_t MasksAfterHeader(const BitmapInfoHeader& header) {
  return header.biCompression == kBiBitFields && header.biSize == kInfoHeaderSize ? 12 : 0;
}

// The bit count of the plain rows the painter gets.
std::uint16_t PlainBitCount(const BitmapInfoHeader& header) {
  return header.biCompression == kBiBitFields ? 32 : header.biBitCount;
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
  layout.colourTable = kFileHeaderSize + header.biSize + MasksAfterHeader(header);
  const std::uint64_t tableEnd = layout.colourTable + 4ull * colours;
  layout.pixels = fileHeader.bfOffBits != 0 ? fileHeader.bfOffBits : tableEnd;
  if (tableEnd > fileSize || layout.pixels + header.biSizeImage > fileSize) return std::nullopt;
  return layout;
}

// Fills in the counts a file may leave 0 and refuses an image size that
// cannot hold every row (encoded data: the bytes to the end of the file).
bool CompleteSizes(BitmapInfoHeader& header, std::uint32_t colours, std::uint64_t fileSize,
                   std::uint64_t pixelsAt) {
  if (header.biClrUsed == 0) header.biClrUsed = colours;
  const std::uint64_t needed = RowLength(header.biWidth, header.biBitCount) * PictureHeight(header);
  const std::uint64_t plain =
      RowLength(header.biWidth, PlainBitCount(header)) * PictureHeight(header);
  if (needed > kMaxImageBytes || plain > kMaxImageBytes) return false;
  if (header.biSizeImage == 0)
    header.biSizeImage = static_cast<std::uint32_t>(
        IsRunLength(header)
            ? std::min<std::uint64_t>(fileSize - std::min(fileSize, pixelsAt), kMaxImageBytes)
            : needed);
  if (IsRunLength(header)) return header.biSizeImage <= kMaxImageBytes;
  return header.biSizeImage >= needed && header.biSizeImage <= kMaxImageBytes;
}

ColourMasks ReadMasks(std::span<const std::uint8_t, 12> bytes) {
  const auto at = [&](std::size_t i) {
    return static_cast<std::uint32_t>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                      static_cast<std::uint32_t>(bytes[i + 3]) << 24);
  };
  return {at(0), at(4), at(8)};
}

// The stored pixels as the plain rows of the header, which is made to say so.
std::optional<std::vector<std::uint8_t>> PlainRows(BitmapInfoHeader& header,
                                                   std::span<const std::uint8_t> stored,
                                                   const ColourMasks& masks) {
  const std::uint32_t height = PictureHeight(header);
  std::optional<std::vector<std::uint8_t>> rows;
  if (IsRunLength(header)) {
    rows = DecodeRunLength(stored, header.biWidth, height, header.biBitCount);
  } else {
    rows = ExpandBitFields(stored, header.biWidth, height, header.biBitCount, masks);
    header.biBitCount = 32;
  }
  if (!rows) return std::nullopt;
  header.biCompression = kBiRgb;
  header.biSizeImage = static_cast<std::uint32_t>(rows->size());
  return rows;
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

// The colour table, then the pixels decoded into plain rows after it.
int LoadEncodedPixels(FileSystem& files, const std::string& path, std::unique_ptr<InputFile>& file,
                      BitmapInfoHeader header, std::uint32_t colours, const FileLayout& layout,
                      const ColourMasks& masks, std::vector<std::uint8_t>& block,
                      std::uint16_t& bitsOffset) {
  const std::size_t tableBytes = 4 * colours;
  bitsOffset = static_cast<std::uint16_t>(header.biSize + tableBytes);
  block.resize(bitsOffset);
  if (ReadFully(*file, block.data() + header.biSize, tableBytes) != tableBytes) return 0;
  const std::uint64_t tableEnd = layout.colourTable + tableBytes;
  if (!MoveTo(files, path, file, tableEnd, layout.pixels)) return 0;
  std::vector<std::uint8_t> stored;
  try {
    stored.resize(header.biSizeImage);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (ReadFileChunked(*file, stored.data(), header.biSizeImage) != header.biSizeImage) return 0;
  const auto rows = PlainRows(header, stored, masks);
  if (!rows) return 0;
  StoreInfoHeader(header, block);
  block.insert(block.end(), rows->begin(), rows->end());
  return 1;
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

  std::array<std::uint8_t, 12> maskBytes{};
  if (header.biCompression == kBiBitFields) {
    const std::size_t at = header.biSize == kInfoHeaderSize ? 0 : kInfoHeaderSize;
    if (at == 0 && ReadFully(*file, maskBytes.data(), maskBytes.size()) != maskBytes.size())
      return 0;
    if (at != 0) std::copy_n(block.data() + at, maskBytes.size(), maskBytes.data());
  }

  const std::uint32_t colours = ColourCount(header);
  if (colours > kMaxColours) return 0;
  const std::uint64_t pixelsAt =
      fileHeader.bfOffBits != 0
          ? fileHeader.bfOffBits
          : kFileHeaderSize + header.biSize + MasksAfterHeader(header) + 4ull * colours;
  if (!CompleteSizes(header, colours, status.size, pixelsAt)) return 0;
  const auto layout = LocateParts(fileHeader, header, colours, status.size);
  if (!layout) return 0;
  if (header.biCompression != kBiRgb) {
    return LoadEncodedPixels(files, path, file, header, colours, *layout, ReadMasks(maskBytes),
                             block, bitsOffset);
  }

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
  PaintLoadedBitmap(surface, rect, block, bitsOffset, rop);
  return 1;
}

void PaintLoadedBitmap(PaintSurface& surface, const Rect& rect, std::span<const std::uint8_t> block,
                       std::uint16_t bitsOffset, DWORD rop) {
  const BitmapInfoHeader header = ParseInfoHeader(block);
  BitmapPalette palette = CreateBitmapPalette(block.first(bitsOffset));
  DeviceIndependentBitmap bitmap;
  bitmap.width = header.biWidth;
  bitmap.height = static_cast<int>(PictureHeight(header));
  bitmap.topDown = IsTopDown(header);
  bitmap.bitCount = header.biBitCount;
  bitmap.colours = std::move(palette.entries);
  bitmap.bits = block.data() + bitsOffset;
  bitmap.bitsSize = header.biSizeImage;
  surface.StretchBitmap(rect, bitmap, rop);
}

}  // namespace tovrin
