// Packed DIBs of every depth with deterministic pseudo-random pixels and
// tables, and a plain pixel reader to look at results, for the conversion
// tests of both builds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

using Block = std::vector<std::uint8_t>;

struct DibShape {
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bitCount;
  std::uint32_t clrUsed = 0;
  std::uint32_t compression = 0;
};

std::string Describe(const DibShape& shape);

// xorshift32: the same sequence on every platform.
class TestRandom {
 public:
  explicit TestRandom(std::uint32_t seed) : state_(seed ? seed : 1) {}
  std::uint32_t Next();

 private:
  std::uint32_t state_;
};

// Header, table (DibPaletteBytes of the header) and rows, all but the header
// from the random sequence. Indexed pixels stay below the colours the table
// holds unless anyIndex is set.
Block MakeDib(const DibShape& shape, std::uint32_t seed, bool anyIndex = false);

// The same with every pixel of a 24- or 32-bit picture telling its own place:
// red = x, green = y, blue = x / 256 * 16 + y / 256.
Block MakePlaceDib(std::int32_t width, std::int32_t height, std::uint16_t bitCount);

inline const BITMAPINFOHEADER* HeaderOf(const Block& block) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(block.data());
}
inline BITMAPINFOHEADER* HeaderOf(Block& block) {
  return reinterpret_cast<BITMAPINFOHEADER*>(block.data());
}

struct Color {
  std::uint8_t red, green, blue;
  bool operator==(const Color& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
  bool operator!=(const Color& o) const { return !(*this == o); }
};
std::string Describe(const Color& color);

// The raw pixel value at (x, y), y counted from the top as displayed: an
// index, a 16-bit word, or the 24 or 32 bits.
std::uint32_t PixelValue(const BITMAPINFOHEADER* dib, std::int32_t x, std::int32_t y);

// Its colour: through the table at offset 40 (black past the `tableEntries`
// first entries), 5-5-5, or blue-green-red bytes.
Color PixelColor(const BITMAPINFOHEADER* dib, std::int32_t x, std::int32_t y,
                 unsigned tableEntries);
