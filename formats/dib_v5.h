// BITMAPV5HEADER: the 124-byte header of a packed DIB whose pixels carry
// alpha, as the clipboard's CF_DIBV5 format holds it. The fields of the
// 40-byte header come first, then the channel masks, the colour space and
// the rendering intent.
#pragma once

#include <cstdint>

namespace dib_v5 {

constexpr std::uint32_t kHeaderBytes = 124;

// Writes, at `at`, the header of a bottom-up picture of 32 bits a pixel
// stored as blue, green, red and alpha bytes: BI_BITFIELDS with the four
// masks in the header (a version 5 header has no mask table behind it), in
// sRGB for images.
void WriteAlphaHeader(std::uint8_t* at, std::int32_t width, std::int32_t height);

}  // namespace dib_v5
