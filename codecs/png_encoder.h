// PNG encoding for both builds, for icon pictures saved or copied as PNG.
// stb_image_write from Debian's libstb-dev, the companion of the decoder
// (png_decoder.h): one more header of the package already used, with its own
// deflate, so nothing is to be built or linked for mingw-w64 (Debian has no
// libpng for it), and it writes the straight 8-bit RGBA that image programs
// read with alpha.
#pragma once

#include <cstdint>
#include <vector>

// How hard the encoder works at making the stream small. kSmallest tries
// every row filter and searches deeply for matches, for files people keep;
// kQuick takes one filter (Paeth, nearly always the best for icons) and
// libdeflate's fastest level, for pictures made on demand and soon thrown
// away (a thumbnail). Debian has libdeflate for the native build only: the
// Windows program, which makes no thumbnails, encodes kQuick as kSmallest.
enum class PngEffort { kSmallest, kQuick };

// Encodes width x height pixels of RGBA, 8 bits a channel, top row first,
// as a PNG stream of colour type 6. False when the size is not from 1 to the
// largest icon picture (limits::kMaxIconPixels), or memory runs out.
bool EncodePngRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                   std::vector<std::uint8_t>* png, PngEffort effort = PngEffort::kSmallest);
