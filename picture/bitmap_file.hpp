#pragma once
// The pictures of the wizard: Windows "BM" bitmap files of the update
// medium, loaded from disk on every paint and drawn stretched into a
// rectangle (remembered_picture.hpp keeps the last one a window read).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/dialog_host.hpp"
#include "platform/file_system.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

inline constexpr DWORD SRCCOPY = 0x00CC0020;

// The largest piece ReadFileChunked asks the file for at once.
inline constexpr DWORD kReadChunkSize = 32768;

// Loads the file at `path` and paints it stretched into `rect` of `surface`.
// 1 when the picture was loaded and painted, 0 when it cannot be loaded
// (nothing is painted then).
int DrawBitmapFile(FileSystem& files, PaintSurface& surface, const Rect& rect,
                   const std::string& path, DWORD rop);

// Paints a picture that LoadBitmapFile loaded.
void PaintLoadedBitmap(PaintSurface& surface, const Rect& rect, std::span<const std::uint8_t> block,
                       std::uint16_t bitsOffset, DWORD rop);

// Fills `block` with the picture as a BITMAPINFO (the information header,
// the colour table at the header's size) followed by the pixel data, at
// `bitsOffset`. 1 on success, 0 on failure; on failure `block` may hold
// anything.
int LoadBitmapFile(FileSystem& files, const std::string& path, std::vector<std::uint8_t>& block,
                   std::uint16_t& bitsOffset);

// The logical palette of a loaded picture: its colour table, or the stock
// default palette when it has none (a 24-bit picture).
struct BitmapPalette {
  bool stockDefault = false;
  std::vector<std::uint32_t> entries;  // 0x00RRGGBB
};
BitmapPalette CreateBitmapPalette(std::span<const std::uint8_t> info);

// Reads `length` bytes in pieces of at most kReadChunkSize; `length` when
// all were read, else 0 (a length of 0 reads nothing and returns 0).
DWORD ReadFileChunked(InputFile& file, void* buffer, DWORD length);

}  // namespace tovrin
