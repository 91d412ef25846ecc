// PNG decoding for both builds: the core saves PNG icon images as bitmaps, the
// native platform draws them. One decoder, stb_image from Debian's
// libstb-dev: a well-kept single-header decoder that builds unchanged with
// mingw-w64, so no inflate or PNG code of our own is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes the picture into RGBA bytes, 8 bits a channel, top row first. The
// caller has read the header chunk and checked its size; the decoded picture
// must have exactly that width and height. False for data that can't be
// decoded.
bool DecodePngRgba(const std::uint8_t* block, std::size_t length, std::int32_t width,
                   std::int32_t height, std::vector<std::uint8_t>* rgba);
