// PNG decoding for both builds: the core saves PNG icon images as bitmaps, the
// native platform draws them. stb_image from Debian's libstb-dev, a
// well-kept single-header decoder that builds unchanged with mingw-w64,
// decodes every kind of PNG. The native build first tries the kind nearly
// every icon image is (8-bit RGB or RGBA, not interlaced) with Debian's
// libdeflate, which it links already, and the row filters of formats/: a
// thumbnail decodes its picture five times as fast, and where that way
// fails stb_image decides.
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

// stb_image alone, whatever the picture: what DecodePngRgba falls back on,
// for checking that its quicker way gives the same pictures.
bool DecodePngRgbaGeneral(const std::uint8_t* block, std::size_t length, std::int32_t width,
                          std::int32_t height, std::vector<std::uint8_t>* rgba);
