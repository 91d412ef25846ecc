#include "icon_dib.h"

#include <new>

#include "formats/dib_layout.h"

void PutBgraRows(const RgbaPicture& picture, std::uint8_t* rows) {
  const std::int32_t width = picture.width, height = picture.height;
  const std::size_t stride = std::size_t(width) * 4;
  for (std::int32_t y = 0; y < height; ++y) {
    // RGBA runs top-down, a DIB bottom-up.
    const std::uint8_t* from = picture.pixels.data() + std::size_t(height - 1 - y) * stride;
    std::uint8_t* to = rows + std::size_t(y) * stride;
    for (std::int32_t x = 0; x < width; ++x) {
      to[4 * x + 0] = from[4 * x + 2];
      to[4 * x + 1] = from[4 * x + 1];
      to[4 * x + 2] = from[4 * x + 0];
      to[4 * x + 3] = from[4 * x + 3];
    }
  }
}

namespace {

// Bottom-up rows of one bit a pixel, set where the picture is transparent.
void PutMaskRows(const RgbaPicture& picture, std::uint8_t* rows, std::size_t stride) {
  const std::int32_t width = picture.width, height = picture.height;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* from = picture.pixels.data() + std::size_t(height - 1 - y) * std::size_t(width) * 4;
    std::uint8_t* to = rows + std::size_t(y) * stride;
    for (std::int32_t x = 0; x < width; ++x) {
      if (from[4 * x + 3] == 0) to[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
}

}  // namespace

bool EncodeIconDib(const RgbaPicture& picture, std::vector<std::uint8_t>* block) {
  if (!dib_layout::PictureFits(picture.width, picture.height) ||
      picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height) * 4) {
    return false;
  }
  const auto colorBytes = static_cast<std::size_t>(dib_layout::RowBytes(picture.width, 32) * picture.height);
  const auto maskStride = static_cast<std::size_t>(dib_layout::RowBytes(picture.width, 1));
  const std::size_t maskBytes = maskStride * static_cast<std::size_t>(picture.height);
  try {
    block->assign(dib_layout::kInfoHeaderBytes + colorBytes + maskBytes, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::uint8_t* at = block->data();
  dib_layout::WriteInfoHeader(at, picture.width, picture.height * 2, 32,
                              static_cast<std::uint32_t>(colorBytes + maskBytes));
  PutBgraRows(picture, at + dib_layout::kInfoHeaderBytes);
  PutMaskRows(picture, at + dib_layout::kInfoHeaderBytes + colorBytes, maskStride);
  return true;
}
