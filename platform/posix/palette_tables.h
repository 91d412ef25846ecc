// The colours of the platform's stock palettes, as gdi32 gives them, for the
// native build's palettes. Plain data without any Win32 type, so that a
// Windows test can compile it beside gdi32 and compare the two.
#pragma once

#include <cstddef>
#include <cstdint>

struct PaletteColour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t flags;
};

// The 20 static colours: the default palette, in its order. The first ten
// sit at the bottom of a system palette and the last ten at its top.
constexpr std::size_t kStaticColourCount = 20;
extern const PaletteColour kStaticColours[kStaticColourCount];

// The halftone palette of a true-colour screen: the first ten static colours,
// then a grid of 8 reds x 8 greens x 4 blues for the 236 places between, then
// the last ten static colours.
constexpr std::size_t kHalftoneColourCount = 256;
PaletteColour HalftoneColour(std::size_t index);
