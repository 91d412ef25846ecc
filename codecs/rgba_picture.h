// A decoded picture as straight (not premultiplied) RGBA, 8 bits a channel,
// the form the PNG decoder gives, the encoder and the scaler take, and other
// programs read from a PNG file or a CF_DIBV5 block.
#pragma once

#include <cstdint>
#include <vector>

struct RgbaPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue, alpha; top row first
};
