// An icon image as the picture with alpha that other programs take from a PNG
// file or a CF_DIBV5 block: straight (not premultiplied) RGBA.
#pragma once

#include <cstdint>
#include <vector>

#include "icon_group.h"

struct RgbaPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue, alpha; top row first
};

// Alpha comes from a 32-bit image's alpha channel when any of its alpha bytes
// is not zero, as the platform draws it; else from the AND mask, a set bit
// being transparent. A PNG image keeps its own alpha. Fully transparent
// pixels are black, whatever colour or screen inversion the block gives
// them. False when the block can't be decoded or memory runs out.
bool IconImageRgba(const IconImage* image, RgbaPicture* picture);
