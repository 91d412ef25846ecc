#include "picture_scaling.h"

#include <algorithm>
#include <new>

#include "formats/dib_layout.h"
#include "formats/input_limits.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_image_resize.h>
#pragma GCC diagnostic pop

namespace {

bool PictureFits(std::int32_t width, std::int32_t height) {
  return dib_layout::SidesFit(width, height) && std::int64_t{width} * height <= limits::kMaxIconPixels;
}

}  // namespace

void FitWithin(std::int32_t width, std::int32_t height, std::int32_t side, std::int32_t* fitWidth,
               std::int32_t* fitHeight) {
  const std::int64_t longer = std::max(width, height);
  if (longer <= side) {
    *fitWidth = width;
    *fitHeight = height;
    return;
  }
  // Rounded to the nearest pixel; the longer side comes to `side` exactly.
  *fitWidth = static_cast<std::int32_t>(std::max<std::int64_t>(1, (std::int64_t{width} * side + longer / 2) / longer));
  *fitHeight =
      static_cast<std::int32_t>(std::max<std::int64_t>(1, (std::int64_t{height} * side + longer / 2) / longer));
}

bool ScaleRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::int32_t toWidth,
               std::int32_t toHeight, std::vector<std::uint8_t>* scaled) {
  if (rgba == nullptr || !PictureFits(width, height) || !PictureFits(toWidth, toHeight)) return false;
  std::vector<std::uint8_t> pixels;
  try {
    pixels.resize(static_cast<std::size_t>(toWidth) * static_cast<std::size_t>(toHeight) * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // Alpha is channel 3; without STBIR_FLAG_ALPHA_PREMULTIPLIED the resizer
  // premultiplies before filtering and divides after.
  if (!stbir_resize_uint8_srgb(rgba, width, height, width * 4, pixels.data(), toWidth, toHeight, toWidth * 4, 4, 3,
                               0)) {
    return false;
  }
  *scaled = std::move(pixels);
  return true;
}
