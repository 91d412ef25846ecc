// The layout of a packed DIB in numbers: a BITMAPINFOHEADER, its colour table
// of 4-byte entries, then the pixel rows, each padded to whole 4-byte words.
// The header's fields are passed in, so that readers of every file and the
// platform's own decoders size blocks by the same rules.
#pragma once

#include <cstdint>

#include "input_limits.h"
#include "little_endian.h"

namespace dib_layout {

constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kColorEntryBytes = 4;

// Entries of the colour table: biClrUsed when set, else the full table of a
// 1-, 4- or 8-bit picture, else none. The count is kept to 16 bits, as the
// table's length then wraps at 16 bits too (see kMaxColorTableBytes).
constexpr std::uint16_t ColorCount(std::uint16_t bitCount, std::uint32_t clrUsed) {
  if (clrUsed != 0) return static_cast<std::uint16_t>(clrUsed);
  return bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

constexpr std::uint16_t ColorTableBytes(std::uint16_t bitCount, std::uint32_t clrUsed) {
  return static_cast<std::uint16_t>(kColorEntryBytes * ColorCount(bitCount, clrUsed));
}

// Bytes in one pixel row, in 64 bits so that a width read from a file never
// wraps before it is checked.
constexpr std::int64_t RowBytes(std::int64_t width, std::uint32_t bitsPerPixel) {
  return ((width * static_cast<std::int64_t>(bitsPerPixel) + 31) >> 3) & ~std::int64_t{3};
}

// A picture's width and height are each from 1 to the largest accepted.
constexpr bool SidesFit(std::int64_t width, std::int64_t height) {
  return width >= 1 && height >= 1 && width <= limits::kMaxDimension &&
         height <= limits::kMaxDimension;
}

// A picture decoded at once, scaled or encoded: sides that fit, and pixels
// within the decoding budget (limits::kMaxIconPixels). The one rule every
// decoder, the scaler and the encoder hold a picture to.
constexpr bool PictureFits(std::int64_t width, std::int64_t height) {
  return SidesFit(width, height) && width * height <= limits::kMaxIconPixels;
}

// A bitmap is bounded by its bytes (limits::kMaxBlockBytes), not by a side:
// one row of 40000 pixels is a small picture. Its sides are each from 1 to
// what 32 bits hold, so that a row's bytes at any depth fit 64 bits.
constexpr bool BitmapSidesFit(std::int64_t width, std::int64_t height) {
  return width >= 1 && height >= 1 && width <= INT32_MAX && height <= INT32_MAX;
}

// Writes a 40-byte header of one plane, BI_RGB and no colour table at `at`
// (kInfoHeaderBytes bytes); `height` as the block counts it (an icon image's
// is twice its picture's).
inline void WriteInfoHeader(std::uint8_t* at, std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                            std::uint32_t sizeImage) {
  for (std::uint32_t i = 0; i < kInfoHeaderBytes; ++i) at[i] = 0;
  PutU32(at, kInfoHeaderBytes);
  PutU32(at + 4, static_cast<std::uint32_t>(width));
  PutU32(at + 8, static_cast<std::uint32_t>(height));
  PutU16(at + 12, 1);
  PutU16(at + 14, bitCount);
  PutU32(at + 20, sizeImage);
}

}  // namespace dib_layout
