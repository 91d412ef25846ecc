// The 14-byte file header (BITMAPFILEHEADER) in front of a .BMP file's packed
// DIB, as the bitmap reader and writer both lay it out: the type, the file's
// size, two reserved words, and the offset of the first pixel row.
#pragma once

#include <cstdint>

namespace bitmap_file {

constexpr std::uint16_t kSignature = 19778;  // "BM"
constexpr std::uint32_t kHeaderBytes = 14;

}  // namespace bitmap_file
