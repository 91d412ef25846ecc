// PNG-compressed icon images as pictures: the header and signature are read
// by formats/png_header.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Why a PNG image gives no picture.
enum class PngFailure {
  kUndecodable,  // no header chunk, or data the decoder refuses (cut, damaged)
  kTooLarge,     // a picture past the budget of decoded pixels
};

// Decodes the picture into RGBA bytes, top row first, with its width and
// height. False, with the reason when `failure` is given, when the data
// can't be decoded or the picture is too large.
bool DecodePngPicture(const BYTE* block, std::size_t length, std::vector<std::uint8_t>* rgba,
                      std::int32_t* width, std::int32_t* height, PngFailure* failure = nullptr);

// Decodes the picture into a new packed DIB of 32 bits per pixel (blue,
// green, red, alpha; bottom-up), owned by the caller and released with free.
// Null, with the reason when `failure` is given, when the data can't be
// decoded or the header lies about the size.
BITMAPINFOHEADER* DecodePngToDib(const BYTE* block, std::size_t length, PngFailure* failure = nullptr);
