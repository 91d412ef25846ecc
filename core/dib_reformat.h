// A packed DIB converted to another width, height and bit count: copied,
// cropped and padded, or stretched, and its colours converted the way GDI's
// block transfers between two DIB sections convert them. Our own code, the
// same in both builds; only the default and halftone palettes come from the
// platform.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// Length of the target header block that ReformatDib builds and that every
// result starts with: the header and room for 257 colour entries.
constexpr std::size_t kReformatHeaderBlockBytes = 1068;

// Fills the colour table at offset 40 of a target header block, by the
// target's bit count: 1 bit black and white; 4 bits the source's 16 entries
// when the source has 4 bits, else the default palette's first 16; 8 bits the
// source's 256 entries when the source has 8 bits, else the screen's halftone
// palette; above 8 bits nothing. Entries the source's table does not hold
// (biClrUsed below the full table) are written 0; nothing past the source's
// table is read. A null source counts as one of another depth. 1, or 0 when
// the platform gave no palette (the table is then all zero).
int FillColorTable(BITMAPINFOHEADER* target, const BITMAPINFOHEADER* source);

// The length of a packed DIB the conversion accepts as its source, from its
// header: a 40-byte header, a width and height from 1 to the largest
// dimension, one plane, 1, 4, 8, 16, 24 or 32 bits, uncompressed plain rows
// (not bit fields, whose masks would decide the colours), and a block within
// the largest. -1 for any other header.
std::int64_t ConvertibleDibBytes(const BITMAPINFOHEADER* source);

// A new packed DIB of width x height at bitCount bits, owned by the caller
// (released with free), or null when the source or target can't be
// converted or memory runs out. The source is not changed. The result is
// kReformatHeaderBlockBytes + DibStride x height bytes long: the target
// header block, its rows at DibPixels (behind the header and its table) and
// meaningless zero bytes at the end. Same size: a plain copy. Otherwise with
// stretch set the whole source is stretched onto the whole target; without
// it the picture is copied from its top-left corner, cropped where the target
// is smaller and zero where it is larger.
BITMAPINFOHEADER* ReformatDib(const BITMAPINFOHEADER* source, LONG width, LONG height,
                              WORD bitCount, BOOL stretch);

// As ReformatDib, for a source block of sourceBytes bytes that may be shorter
// than its header says (data from outside): such a source gives null.
BITMAPINFOHEADER* ReformatDibBlock(const BITMAPINFOHEADER* source, std::size_t sourceBytes,
                                   LONG width, LONG height, WORD bitCount, BOOL stretch);
