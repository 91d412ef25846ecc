// The index of the colour-table entry nearest to a colour, without dithering:
// the least sum of squared differences of red, green and blue, the lowest
// index among equals.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

class NearestColorMatcher {
 public:
  // The table is copied; at most its first 256 entries are searched.
  NearestColorMatcher(const RGBQUAD* table, unsigned count);

  std::uint8_t Match(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const;

  // As GDI matches colours of a 16-, 24- or 32-bit picture into an 8-bit one:
  // each component cut to its top 5 bits and set in the middle of the step
  // they leave (v & ~7) + 4. Remembered for each of the 32768 such colours.
  std::uint8_t MatchFiveBit(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

 private:
  template <unsigned Places>
  std::uint8_t Search(std::int32_t red, std::int32_t green, std::int32_t blue) const;

  // Tables of 1- and 4-bit pictures are searched over 16 places, others 256.
  static constexpr unsigned kSmallPlaces = 16;
  static constexpr unsigned kPlaces = 256;
  bool smallTable_;
  std::int32_t reds_[kPlaces];
  std::int32_t greens_[kPlaces];
  std::int32_t blues_[kPlaces];
  std::vector<std::int16_t> fiveBitCache_;
};
