#include "icon_rgba.h"

#include <new>
#include <utility>

#include "formats/png_header.h"
#include "icon_picture.h"
#include "png_decoder.h"

namespace {

// A PNG straight to RGBA, without the colour and mask arrays of an
// IconPicture in between, which cost as much as the decoding.
DecodeOutcome DecodePngRgba(const std::uint8_t* block, std::size_t length, RgbaPicture* picture) {
  RgbaPicture png;
  const DecodeOutcome decoded = DecodePng(block, length, &png);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  std::uint8_t* pixel = png.pixels.data();
  const std::size_t bytes = png.pixels.size();
  bool hasAlpha = false;
  for (std::size_t i = 3; i < bytes && !hasAlpha; i += 4) hasAlpha = pixel[i] != 0;
  if (!hasAlpha) {
    for (std::size_t i = 3; i < bytes; i += 4) pixel[i] = 0xFF;
  } else {
    for (std::size_t i = 0; i < bytes; i += 4) {
      const std::uint8_t kept = pixel[i + 3] != 0 ? 0xFF : 0;
      pixel[i] &= kept;
      pixel[i + 1] &= kept;
      pixel[i + 2] &= kept;
    }
  }
  *picture = std::move(png);
  return DecodeOutcome::kDecoded;
}

}  // namespace

DecodeOutcome DecodeIconRgba(const std::uint8_t* block, std::size_t length, RgbaPicture* picture) {
  if (block == nullptr) return DecodeOutcome::kUndecodable;
  if (png::HasSignature(ByteView(block, length))) return DecodePngRgba(block, length, picture);
  IconPicture decoded;
  const DecodeOutcome outcome = DecodeIconImage(block, length, &decoded);
  if (outcome != DecodeOutcome::kDecoded) return outcome;
  RgbaPicture rgba;
  try {
    rgba.pixels.resize(decoded.colors.size() * 4);
  } catch (const std::bad_alloc&) {
    return DecodeOutcome::kOutOfMemory;
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
  return DecodeOutcome::kDecoded;
}
