// The picture inside an icon image block (a packed DIB of twice the picture
// height with its AND mask, or a PNG image), decoded. The native build's icon
// objects draw it, and both builds save and copy it with its transparency.
// Plain C++ with no platform calls, so that a Windows test can compare it
// with what user32 draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/decode_outcome.h"

struct IconPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  // Top-down rows of 0xAARRGGBB. Alpha is 0xFF everywhere unless hasAlpha.
  std::vector<std::uint32_t> colors;
  // Top-down, one byte per pixel: 1 where the AND mask is set (the screen
  // shows through, inverted by the colour).
  std::vector<std::uint8_t> mask;
  // The colours carry alpha: drawing blends them and ignores the mask.
  bool hasAlpha = false;
};

// Decodes an icon image block: a 40-byte header (BI_RGB, 1, 4, 8, 16 (5-5-5),
// 24 or 32 bits per pixel, biHeight twice the picture height), the colour
// table (biClrUsed entries up to 256, else the depth's full table), the
// colour rows and the AND rows. AND rows that the block does not all hold
// leave the mask clear, every pixel opaque unless 32 bits carry alpha, which
// is drawn instead of any mask: as user32 does (Wine's create_icon_from_bmi
// then makes an empty mask, or one from the alpha). A block that starts with
// the PNG signature is decoded as PNG. kUndecodable for anything else or any
// block too short for what it declares, kTooLarge for a picture past the
// budget of decoded pixels; `picture` is changed only when the outcome is
// kDecoded.
DecodeOutcome DecodeIconImage(const std::uint8_t* block, std::size_t length, IconPicture* picture);

// The picture at another size, each target pixel taking the source pixel its
// centre falls on (rows and columns repeated or dropped). False when the
// size is not positive or too large, or memory runs out.
bool StretchIconPicture(const IconPicture& source, std::int32_t width, std::int32_t height,
                        IconPicture* stretched);

// The colour drawing the picture gives at (x, y) over a background colour
// (0x00RRGGBB), as DrawIconEx with DI_NORMAL does: alpha blending, or the
// background ANDed with the mask and XORed with the colour.
std::uint32_t DrawnIconPixel(const IconPicture& picture, std::int32_t x, std::int32_t y,
                             std::uint32_t background);
