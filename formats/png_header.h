// The start of a PNG stream: the 8-byte signature and the IHDR chunk that
// must follow it. Every icon image of 256 x 256 since Windows Vista is stored
// this way inside .ICO files and icon resources.
#pragma once

#include <cstddef>
#include <cstdint>

#include "byte_cursor.h"

namespace png {

constexpr std::size_t kSignatureBytes = 8;
extern const std::uint8_t kSignature[kSignatureBytes];

struct Header {
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitsPerPixel;  // bit depth times channels
  std::uint8_t colourType;
};

// True when the bytes start with the signature.
bool HasSignature(ByteView bytes);

// Reads and checks IHDR: length 13, width and height from 1 to the largest
// dimension accepted, a bit depth that the colour type allows, the only
// compression and filter methods there are, and a known interlace method.
bool ReadHeader(ByteView bytes, Header* header);

}  // namespace png
