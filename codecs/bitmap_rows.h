// Pixel rows as bitmap files store them beyond the plain layout of a packed
// DIB: colours in bit fields, rows top-down, and run-length compressed
// indexes. Each is turned into plain bottom-up rows, so that everything
// behind the bitmap reader only ever sees uncompressed rows it knows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/decode_outcome.h"

// biCompression values of a bitmap file's header that the reader decodes.
constexpr std::uint32_t kPlainRows = 0;     // BI_RGB
constexpr std::uint32_t kRle8Rows = 1;      // BI_RLE8
constexpr std::uint32_t kRle4Rows = 2;      // BI_RLE4
constexpr std::uint32_t kBitFieldRows = 3;  // BI_BITFIELDS

// Where the colours of a 16- or 32-bit pixel lie; a mask of 0 is a channel
// the pixels do not hold.
struct BitFieldMasks {
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;
  std::uint32_t alpha = 0;
};

// What plain rows of the bit count mean: 5-5-5 at 16 bits, one byte each of
// blue, green and red at 32 bits.
BitFieldMasks PlainMasks(std::uint16_t bitCount);

// True when each mask is 0 or one run of adjacent bits inside the pixel.
bool MasksAreUsable(const BitFieldMasks& masks, std::uint16_t bitCount);

// True when the colour masks are those of plain rows, so the rows can be
// kept as they are (a 32-bit pixel's fourth byte carries no colour either
// way).
bool MasksArePlain(const BitFieldMasks& masks, std::uint16_t bitCount);

// The bit count of the plain rows that bit fields become: 24 from 16 bits
// (every colour kept, whatever the masks' widths), 32 from 32 bits (with the
// alpha channel in the fourth byte).
std::uint16_t ExpandedBitCount(std::uint16_t bitCount);

// Expands the file's 16- or 32-bit rows (`height` rows, stored top-down when
// `topDown`) into bottom-up rows of ExpandedBitCount bits, each colour scaled
// to 8 bits by repeating its bits. kUndecodable, with the target partly
// written, when either block is shorter than the rows of the picture.
DecodeOutcome ExpandBitFields(const std::uint8_t* source, std::size_t sourceBytes, std::uint16_t bitCount,
                              const BitFieldMasks& masks, std::int32_t width, std::int32_t height, bool topDown,
                              std::uint8_t* target, std::size_t targetBytes);

// Turns `height` rows of `stride` bytes upside down, in place.
void FlipRows(std::uint8_t* rows, std::size_t stride, std::int32_t height);

// Decodes an RLE8 (bitCount 8) or RLE4 (bitCount 4) stream into bottom-up
// index rows, which must start all zero: pixels that a delta or the end of a
// line or of the bitmap skips keep index 0. A run is cut at its row's end,
// and an end of line behind the last row is passed over, as GDI reads them.
// kUndecodable when the stream is cut before the end of the bitmap (a
// stream may end without that marker only behind the last row), when a run
// starts above the last row or a delta leaves the row or the picture, or
// when the rows are shorter than the picture.
DecodeOutcome DecodeRle(const std::uint8_t* stream, std::size_t streamBytes, std::uint16_t bitCount, std::int32_t width,
                        std::int32_t height, std::uint8_t* rows, std::size_t rowsBytes);
