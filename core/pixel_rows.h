// Reading and writing the pixels of one stored row of a packed DIB, at 1, 4,
// 8, 16 (5-5-5), 24 and 32 bits. Callers pass rows that hold every position
// they name.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "stretch_map.h"

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// The colours of a 1-, 4- or 8-bit picture's indexes: its table's entries,
// and black for an index the table does not hold.
class IndexColors {
 public:
  IndexColors(const RGBQUAD* table, unsigned entries);
  Rgb operator[](unsigned index) const { return colors_[index & 0xFF]; }

 private:
  Rgb colors_[256];
};

// The index at each mapped position of a 1-, 4- or 8-bit row; out[i] is set
// where columns[i] is not -1.
void ReadRowIndexes(const BYTE* row, WORD bitCount, const AxisMap& columns, std::uint8_t* out);

// The colour at each mapped position of a row of any depth.
void ReadRowColors(const BYTE* row, WORD bitCount, const IndexColors& indexColors,
                   const AxisMap& columns, Rgb* out);

// Writes indexes (1, 4, 8 bits) or colours (16, 24, 32 bits) to the
// positions whose columns entry is not -1; other positions are left as they
// are. A 32-bit pixel's fourth byte is written 0, a 16-bit pixel's top bit 0.
void WriteRowIndexes(BYTE* row, WORD bitCount, const std::uint8_t* indexes, const AxisMap& columns);
void WriteRowColors(BYTE* row, WORD bitCount, const Rgb* colors, const AxisMap& columns);
