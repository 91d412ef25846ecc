#include "clipboard_images.h"

#include <new>

#include "formats/dib_v5.h"
#include "codecs/icon_rgba.h"

bool IconImageAsDibV5(const IconImage* image, std::vector<std::uint8_t>* block) {
  RgbaPicture picture;
  if (image == nullptr || DecodeIconRgba(image->bits, image->byteCount, &picture) != DecodeOutcome::kDecoded) {
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 4;
  std::vector<std::uint8_t> dib;
  try {
    dib.resize(dib_v5::kHeaderBytes + picture.pixels.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  dib_v5::WriteAlphaHeader(dib.data(), picture.width, picture.height);
  std::uint8_t* rows = dib.data() + dib_v5::kHeaderBytes;
  for (std::int32_t y = 0; y < picture.height; ++y) {
    // The picture runs top-down, the DIB bottom-up.
    const std::uint8_t* from = picture.pixels.data() + static_cast<std::size_t>(picture.height - 1 - y) * stride;
    std::uint8_t* to = rows + static_cast<std::size_t>(y) * stride;
    for (std::int32_t x = 0; x < picture.width; ++x, from += 4, to += 4) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      to[3] = from[3];
    }
  }
  *block = std::move(dib);
  return true;
}
