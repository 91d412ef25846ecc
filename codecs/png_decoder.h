// PNG decoding for both builds: the core saves PNG icon images as bitmaps, the
// native platform draws them. stb_image from Debian's libstb-dev, a
// well-kept single-header decoder that builds unchanged with mingw-w64,
// decodes every kind of PNG. The native build first tries the kind nearly
// every icon image is (8-bit RGB or RGBA, not interlaced) with Debian's
// libdeflate, which it links already, and our row filters (png_rows.h): a
// thumbnail decodes its picture five times as fast, and where that way
// fails stb_image decides.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/decode_outcome.h"
#include "codecs/rgba_picture.h"

// Decodes a PNG stream into RGBA as the stream holds it. The header chunk's
// size is checked against the budget of decoded pixels before anything is
// allocated (kTooLarge); data that can't be decoded, or that gives another
// size than the header declares, is kUndecodable. The picture is changed
// only when the outcome is kDecoded.
DecodeOutcome DecodePng(const std::uint8_t* block, std::size_t length, RgbaPicture* picture);

// stb_image alone, whatever the picture: what DecodePng falls back on. For
// the fuzz target's differential check that the quicker way gives the same
// pictures; nothing else calls it.
DecodeOutcome DecodePngForDifferential(const std::uint8_t* block, std::size_t length, RgbaPicture* picture);
