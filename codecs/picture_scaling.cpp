#include "picture_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "formats/dib_layout.h"

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

// sRGB's 8-bit values in linear light, and back: the way back is a table of
// kLinearSteps even steps of linear light, each holding the sRGB value
// nearest its middle (off by one at most, where a step straddles the midpoint
// of two values in the darkest tones). Made from 255 powers, not one per step.
constexpr int kLinearSteps = 4096;

struct LightTables {
  std::array<float, 256> linear;
  std::array<std::uint8_t, kLinearSteps> srgb;
};

float SrgbToLinear(float value) {
  return value <= 0.04045f ? value / 12.92f : std::pow((value + 0.055f) / 1.055f, 2.4f);
}

const LightTables& Light() {
  static const LightTables tables = [] {
    LightTables t{};
    for (int c = 0; c < 256; ++c) t.linear[c] = SrgbToLinear(c / 255.0f);
    int value = 0;
    float above = SrgbToLinear(0.5f / 255.0f);  // where value + 1 becomes nearer
    for (int step = 0; step < kLinearSteps; ++step) {
      const float middle = (step + 0.5f) / kLinearSteps;
      while (value < 255 && middle >= above) {
        ++value;
        above = value < 255 ? SrgbToLinear((value + 0.5f) / 255.0f) : 2.0f;
      }
      t.srgb[step] = static_cast<std::uint8_t>(value);
    }
    return t;
  }();
  return tables;
}

// A whole number of pixels each way for each pixel made (256 to 128): each
// is the mean of its block, in linear light and weighted by alpha, so that
// transparent pixels lend the block no colour. For such a ratio that is the
// fitting filter, at a fraction of the cost of stb's Mitchell filter, whose
// weights are for any ratio.
void ScaleBlocks(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::int32_t toWidth,
                 std::int32_t toHeight, std::uint8_t* out) {
  const LightTables& light = Light();
  const std::size_t across = std::size_t(width / toWidth);
  const std::size_t down = std::size_t(height / toHeight);
  const float count = float(across * down);
  const std::size_t row = std::size_t(width) * 4;
  for (std::size_t y = 0; y < std::size_t(toHeight); ++y) {
    for (std::size_t x = 0; x < std::size_t(toWidth); ++x) {
      float sum[4] = {0, 0, 0, 0};
      const std::uint8_t* block = rgba + y * down * row + x * across * 4;
      for (std::size_t by = 0; by < down; ++by) {
        const std::uint8_t* p = block + by * row;
        for (std::size_t bx = 0; bx < across; ++bx, p += 4) {
          const float alpha = p[3];
          sum[0] += light.linear[p[0]] * alpha;
          sum[1] += light.linear[p[1]] * alpha;
          sum[2] += light.linear[p[2]] * alpha;
          sum[3] += alpha;
        }
      }
      std::uint8_t* to = out + (y * std::size_t(toWidth) + x) * 4;
      const int alpha = static_cast<int>(sum[3] / count + 0.5f);
      if (alpha == 0) {
        to[0] = to[1] = to[2] = to[3] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) {
        const int step = static_cast<int>(sum[c] / sum[3] * kLinearSteps);
        to[c] = light.srgb[static_cast<std::size_t>(std::clamp(step, 0, kLinearSteps - 1))];
      }
      to[3] = static_cast<std::uint8_t>(alpha);
    }
  }
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
  if (rgba == nullptr || !dib_layout::PictureFits(width, height) || !dib_layout::PictureFits(toWidth, toHeight)) {
    return false;
  }
  std::vector<std::uint8_t> pixels;
  try {
    pixels.resize(static_cast<std::size_t>(toWidth) * static_cast<std::size_t>(toHeight) * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (width % toWidth == 0 && height % toHeight == 0) {
    ScaleBlocks(rgba, width, height, toWidth, toHeight, pixels.data());
    *scaled = std::move(pixels);
    return true;
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
