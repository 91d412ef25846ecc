// Layout of a packed DIB: one block holding a BITMAPINFOHEADER, its colour
// table and its pixel rows (bottom-up, each padded to 4 bytes).
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Entries of the colour table: biClrUsed (low 16 bits) when set, else the
// full table of a 1-, 4- or 8-bit picture, else none.
std::uint16_t DibColorCount(const BITMAPINFOHEADER* header);

// 4 x DibColorCount, wrapping at 16 bits.
std::uint16_t DibPaletteBytes(const BITMAPINFOHEADER* header);

// Bytes in one pixel row, rounded up to whole 4-byte words.
std::int32_t DibStride(const BITMAPINFOHEADER* header);

// First pixel row: behind the header (biSize bytes) and the colour table.
BYTE* DibPixels(BITMAPINFOHEADER* header);
const BYTE* DibPixels(const BITMAPINFOHEADER* header);

// The row length in 64 bits, for code that checks sizes taken from a file
// before anything is allocated: never wraps.
std::int64_t DibStride64(std::int64_t width, std::uint32_t bitsPerPixel);
