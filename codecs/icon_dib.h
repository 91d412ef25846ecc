// Straight RGBA pictures as the icon image blocks every Windows version and
// every reader of icons takes: a packed DIB of 32 bits a pixel with its alpha,
// twice the picture's height in its header, and the AND mask behind the
// colour rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/rgba_picture.h"

// Writes the picture's pixels as bottom-up rows of blue, green, red and
// alpha at `rows` (width x height x 4 bytes).
void PutBgraRows(const RgbaPicture& picture, std::uint8_t* rows);

// The picture as an icon image block: a 40-byte header (BI_RGB, 32 bits, one
// plane), the colour rows as stored, and AND rows whose bit is set where
// alpha is 0, so that readers that draw by the mask leave those pixels
// transparent too. False when the size is not from 1 to the largest icon
// picture (limits::kMaxIconPixels), or memory runs out.
bool EncodeIconDib(const RgbaPicture& picture, std::vector<std::uint8_t>* block);
