// PNG-compressed icon images as packed DIBs, for what takes a DIB: the bitmap
// writer and the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/decode_outcome.h"

// Decodes the picture (png_decoder.h) into a new packed DIB: a 40-byte
// BITMAPINFOHEADER of 32 bits per pixel, then bottom-up rows of blue, green,
// red and alpha. The block is the caller's, released with free; `dib` is set
// only when the outcome is kDecoded.
DecodeOutcome DecodePngToDib(const std::uint8_t* block, std::size_t length, std::uint8_t** dib);
