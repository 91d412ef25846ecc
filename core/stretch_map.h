// Which source row or column each target row or column is taken from, when a
// picture is copied or stretched without averaging. Positions count from the
// top-left corner of the picture as displayed.
#pragma once

#include <cstdint>
#include <vector>

// One entry per target position: the source position, or -1 where the
// source does not reach and the target keeps all its bits zero.
using AxisMap = std::vector<std::int32_t>;

// A plain copy from the corner: position i from position i, -1 from the
// source's length on (the target is cropped or padded at its far edge).
AxisMap CopyAxisMap(std::int32_t sourceLength, std::int32_t targetLength);

// The whole source length onto the whole target length, dropping or
// repeating whole rows or columns the way GDI's StretchBlt does in its
// COLORONCOLOR mode: the positions a line from (0, 0) to (source, target)
// passes through, drawn with Bresenham's steps and decided at the middle
// between two pixel centres. When shrinking, several source positions fall on
// one target position: GDI keeps the last of them for columns and the first
// for rows. A target of length 1 takes its line from a source one shorter, as
// GDI does.
enum class ShrinkKeeps { kFirst, kLast };
AxisMap StretchAxisMap(std::int32_t sourceLength, std::int32_t targetLength, ShrinkKeeps keeps);

inline AxisMap StretchColumnMap(std::int32_t sourceWidth, std::int32_t targetWidth) {
  return StretchAxisMap(sourceWidth, targetWidth, ShrinkKeeps::kLast);
}
inline AxisMap StretchRowMap(std::int32_t sourceHeight, std::int32_t targetHeight) {
  return StretchAxisMap(sourceHeight, targetHeight, ShrinkKeeps::kFirst);
}
