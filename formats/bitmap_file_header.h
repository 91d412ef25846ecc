// The 14-byte file header (BITMAPFILEHEADER) in front of a .BMP file's packed
// DIB, as the bitmap reader and writer both lay it out.
#pragma once

#include <cstdint>

namespace bitmap_file {

constexpr std::uint16_t kSignature = 19778;  // "BM"
constexpr std::uint32_t kHeaderBytes = 14;
// Offsets of its fields: the type, the file's size, two reserved words, and
// the offset of the first pixel row.
constexpr std::uint32_t kTypeAt = 0;
constexpr std::uint32_t kSizeAt = 2;
constexpr std::uint32_t kReserved1At = 6;
constexpr std::uint32_t kReserved2At = 8;
constexpr std::uint32_t kOffBitsAt = 10;

}  // namespace bitmap_file
