#include "palette_tables.h"

const PaletteColour kStaticColours[kStaticColourCount] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},   {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0}, {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0},  // money green, sky blue
    {255, 251, 240, 0}, {160, 160, 164, 0},  // cream, medium grey
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0}, {255, 255, 255, 0},
};

PaletteColour HalftoneColour(std::size_t index) {
  constexpr std::size_t kLowStatic = kStaticColourCount / 2;
  constexpr std::size_t kHighStatic = kHalftoneColourCount - kStaticColourCount / 2;
  if (index < kLowStatic) return kStaticColours[index];
  if (index >= kHalftoneColourCount) return PaletteColour{0, 0, 0, 0};
  if (index >= kHighStatic) return kStaticColours[index - kHighStatic + kLowStatic];
  // The grid place is the index itself: its places below 10 and from 246 on
  // are taken by the static colours.
  return PaletteColour{static_cast<std::uint8_t>((index & 7) * 32),
                       static_cast<std::uint8_t>(((index >> 3) & 7) * 32),
                       static_cast<std::uint8_t>(((index >> 6) & 3) * 64), 0};
}
