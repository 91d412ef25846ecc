#include "icon_rgba.h"

#include <new>

#include "codecs/icon_picture.h"

bool IconImageRgba(const IconImage* image, RgbaPicture* picture) {
  if (image == nullptr || image->bits == nullptr) return false;
  RgbaPicture png;
  if (DecodePngImageRgba(image->bits, image->byteCount, &png.width, &png.height, &png.pixels)) {
    *picture = std::move(png);
    return true;
  }
  IconPicture decoded;
  if (!DecodeIconImage(image->bits, image->byteCount, &decoded)) return false;
  RgbaPicture rgba;
  try {
    rgba.pixels.resize(decoded.colors.size() * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  rgba.width = decoded.width;
  rgba.height = decoded.height;
  std::uint8_t* to = rgba.pixels.data();
  for (std::size_t i = 0; i < decoded.colors.size(); ++i, to += 4) {
    const std::uint32_t color = decoded.colors[i];
    const std::uint32_t alpha = decoded.hasAlpha ? color >> 24 : (decoded.mask[i] ? 0 : 0xFF);
    if (alpha == 0) continue;  // left black and transparent
    to[0] = static_cast<std::uint8_t>(color >> 16);
    to[1] = static_cast<std::uint8_t>(color >> 8);
    to[2] = static_cast<std::uint8_t>(color);
    to[3] = static_cast<std::uint8_t>(alpha);
  }
  *picture = std::move(rgba);
  return true;
}
