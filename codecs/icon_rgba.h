// An icon image block as the picture with alpha that other programs take from
// a PNG file or a CF_DIBV5 block: straight (not premultiplied) RGBA.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/decode_outcome.h"
#include "codecs/rgba_picture.h"

// Alpha comes from a 32-bit image's alpha channel when any of its alpha bytes
// is not zero, as the platform draws it; else from the AND mask, a set bit
// being transparent. A PNG image keeps its own alpha (opaque when every
// alpha byte is zero, as DecodeIconImage gives it). Fully transparent pixels
// are black, whatever colour or screen inversion the block gives them. The
// outcomes are DecodeIconImage's; `picture` is changed only on kDecoded.
DecodeOutcome DecodeIconRgba(const std::uint8_t* block, std::size_t length, RgbaPicture* picture);
