#include "nearest_color.h"

#include <climits>

namespace {

// A component no colour comes near: places past the table are never the
// nearest, and the search runs over a fixed 256 places.
constexpr std::int32_t kFarAway = 4096;

}  // namespace

NearestColorMatcher::NearestColorMatcher(const RGBQUAD* table, unsigned count) {
  if (count > kPlaces) count = kPlaces;
  smallTable_ = count <= kSmallPlaces;
  for (unsigned i = 0; i < kPlaces; ++i) {
    reds_[i] = i < count ? table[i].rgbRed : kFarAway;
    greens_[i] = i < count ? table[i].rgbGreen : kFarAway;
    blues_[i] = i < count ? table[i].rgbBlue : kFarAway;
  }
}

std::uint8_t NearestColorMatcher::Match(std::uint8_t red, std::uint8_t green,
                                        std::uint8_t blue) const {
  return smallTable_ ? Search<kSmallPlaces>(red, green, blue) : Search<kPlaces>(red, green, blue);
}

template <unsigned Places>
std::uint8_t NearestColorMatcher::Search(std::int32_t red, std::int32_t green,
                                         std::int32_t blue) const {
  // All distances and their least, in loops of fixed length the compiler
  // vectorizes; then the first place that has it.
  std::int32_t distances[Places];
  for (unsigned i = 0; i < Places; ++i) {
    std::int32_t dr = red - reds_[i];
    std::int32_t dg = green - greens_[i];
    std::int32_t db = blue - blues_[i];
    distances[i] = dr * dr + dg * dg + db * db;
  }
  std::int32_t least = INT32_MAX;
  for (unsigned i = 0; i < Places; ++i) least = distances[i] < least ? distances[i] : least;
  unsigned best = 0;
  while (distances[best] != least) ++best;
  return static_cast<std::uint8_t>(best);
}

std::uint8_t NearestColorMatcher::MatchFiveBit(std::uint8_t red, std::uint8_t green,
                                               std::uint8_t blue) {
  if (fiveBitCache_.empty()) fiveBitCache_.assign(32768, -1);
  unsigned key = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
  std::int16_t& cached = fiveBitCache_[key];
  if (cached < 0) {
    cached = Match(static_cast<std::uint8_t>((red & ~7) + 4),
                   static_cast<std::uint8_t>((green & ~7) + 4),
                   static_cast<std::uint8_t>((blue & ~7) + 4));
  }
  return static_cast<std::uint8_t>(cached);
}
