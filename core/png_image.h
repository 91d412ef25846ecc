// PNG-compressed icon images: every 256 x 256 image since Windows Vista is
// stored this way inside .ICO files and icon resources.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

struct PngHeader {
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitsPerPixel;  // bit depth times channels
};

// True when the block starts with the 8-byte PNG signature.
bool IsPngBlock(const BYTE* block, std::size_t length);

// Reads and checks the IHDR chunk that must follow the signature: length 13,
// width and height from 1 to the largest dimension accepted, and a bit depth
// that the colour type allows.
bool ReadPngHeader(const BYTE* block, std::size_t length, PngHeader* header);

// Decodes the picture into a new packed DIB of 32 bits per pixel (blue,
// green, red, alpha; bottom-up), owned by the caller and released with free.
// Null when the data can't be decoded or the header lies about the size.
BITMAPINFOHEADER* DecodePngToDib(const BYTE* block, std::size_t length);
