// PNG-compressed icon images as pictures: the header and signature are read
// by formats/png_header.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// Decodes the picture into a new packed DIB of 32 bits per pixel (blue,
// green, red, alpha; bottom-up), owned by the caller and released with free.
// Null when the data can't be decoded or the header lies about the size.
BITMAPINFOHEADER* DecodePngToDib(const BYTE* block, std::size_t length);
