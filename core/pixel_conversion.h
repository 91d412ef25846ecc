// Converts the pixels of one packed DIB into another of any size and depth,
// colour by colour, as GDI's block transfer between two DIB sections does:
// each target pixel is taken from one source pixel (chosen by the row and
// column maps), read as a colour and written in the target's format, at 8
// bits or less as the index of the nearest table colour, without dithering.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "stretch_map.h"

struct SourcePicture {
  WORD bitCount;
  std::int32_t width;
  std::int32_t height;
  std::size_t stride;
  const BYTE* pixels;  // bottom-up rows
  const RGBQUAD* table;
  unsigned tableEntries;  // the entries the table holds; other indexes are black
};

struct TargetPicture {
  WORD bitCount;
  std::int32_t width;
  std::int32_t height;
  std::size_t stride;
  BYTE* pixels;  // bottom-up rows, all zero on entry
  const RGBQUAD* table;
  unsigned tableEntries;
};

// rows has one entry per target row and columns one per target column, each
// a source position or -1 (the pixel keeps its zero bits); positions count
// from the top-left corner as displayed. With copyIndexes (both pictures of
// the same depth of 4 or 8 bits, with tables GDI sees as equal) indexes are
// copied as they are, as GDI does for matching tables.
void ConvertPixels(const SourcePicture& source, const TargetPicture& target, const AxisMap& rows,
                   const AxisMap& columns, bool copyIndexes);
