// The rows of a PNG picture's inflated image data. Each row starts with a
// filter type byte, and its bytes are stored as differences from a
// prediction made of the byte one pixel to the left, the one above and the
// one above that (zero outside the picture).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace png {

enum RowFilter : std::uint8_t { kFilterNone, kFilterSub, kFilterUp, kFilterAverage, kFilterPaeth };

// The Paeth predictor in the form that needs no branch: the distances of
// left + up - upLeft from left, up and upLeft, the nearest taken in that
// order of preference.
inline std::uint8_t PaethPredictor(int left, int up, int upLeft) {
  const int toLeft = std::abs(up - upLeft);
  const int toUp = std::abs(left - upLeft);
  const int toUpLeft = std::abs(left + up - 2 * upLeft);
  const int nearer = toUp <= toUpLeft ? up : upLeft;
  return static_cast<std::uint8_t>(toLeft <= toUp && toLeft <= toUpLeft ? left : nearer);
}

// Filters one row of `rowBytes` bytes with Paeth's predictor into `out`
// (without the filter type byte); `above` is the row above, null for the
// top row.
void FilterRowPaeth(const std::uint8_t* line, const std::uint8_t* above, std::uint8_t* out, std::size_t rowBytes,
                    std::size_t pixelBytes);

// Undoes the filters of `height` rows of `rowBytes` bytes, each stored after
// its filter type byte from the start of `rows`, and moves them together:
// the picture's rows then lie one after another from that start. Pixels take
// `pixelBytes` bytes (1 to 8). False at a filter type that is none of the
// five, the rows before it undone.
bool UnfilterRows(std::uint8_t* rows, std::size_t rowBytes, std::size_t height, std::size_t pixelBytes);

}  // namespace png
