// Pictures scaled down for thumbnails, the same way in both builds, in linear
// light with the colours weighted by alpha, so that transparent pixels
// (stored black) leave no dark fringe around the picture: by a whole number
// of pixels (256 to 128), each pixel the mean of its block; by any other
// ratio, with stb's resizer from Debian's libstb-dev (the package whose PNG
// headers are already used) and its Mitchell filter (no blocky or blurred
// edges).
#pragma once

#include <cstdint>
#include <vector>

// The size of a width x height picture made to fit a square of `side`,
// keeping its aspect ratio: never larger than the picture, each side at
// least 1.
void FitWithin(std::int32_t width, std::int32_t height, std::int32_t side, std::int32_t* fitWidth,
               std::int32_t* fitHeight);

// Scales straight (not premultiplied) RGBA, 8 bits a channel, top row first,
// to toWidth x toHeight, gamma-correctly (sRGB). False when a size is not
// from 1 to the largest icon picture (limits::kMaxIconPixels), or memory runs
// out.
bool ScaleRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::int32_t toWidth,
               std::int32_t toHeight, std::vector<std::uint8_t>* scaled);
