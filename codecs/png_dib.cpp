#include "png_dib.h"

#include <cstdlib>
#include <cstring>

#include "formats/dib_layout.h"
#include "formats/little_endian.h"
#include "png_decoder.h"

DecodeOutcome DecodePngToDib(const std::uint8_t* block, std::size_t length, std::uint8_t** dib) {
  RgbaPicture picture;
  const DecodeOutcome decoded = DecodePng(block, length, &picture);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  const std::int32_t width = picture.width, height = picture.height;
  const std::size_t stride = std::size_t(width) * 4;
  auto* made = static_cast<std::uint8_t*>(std::malloc(dib_layout::kInfoHeaderBytes + picture.pixels.size()));
  if (made == nullptr) return DecodeOutcome::kOutOfMemory;
  std::memset(made, 0, dib_layout::kInfoHeaderBytes);
  PutU32(made, dib_layout::kInfoHeaderBytes);
  PutU32(made + 4, static_cast<std::uint32_t>(width));
  PutU32(made + 8, static_cast<std::uint32_t>(height));
  PutU16(made + 12, 1);   // planes
  PutU16(made + 14, 32);  // bits per pixel
  std::uint8_t* rows = made + dib_layout::kInfoHeaderBytes;
  for (std::int32_t y = 0; y < height; ++y) {
    // PNG runs top-down, a DIB bottom-up.
    const std::uint8_t* from = picture.pixels.data() + std::size_t(height - 1 - y) * stride;
    std::uint8_t* to = rows + std::size_t(y) * stride;
    for (std::int32_t x = 0; x < width; ++x) {
      to[4 * x + 0] = from[4 * x + 2];
      to[4 * x + 1] = from[4 * x + 1];
      to[4 * x + 2] = from[4 * x + 0];
      to[4 * x + 3] = from[4 * x + 3];
    }
  }
  *dib = made;
  return DecodeOutcome::kDecoded;
}
