// The platform's own palettes, as colour-table entries: a palette entry's red,
// green, blue and flags become an entry's red, green, blue and reserved byte.
#pragma once

#include "platform/platform.h"

constexpr unsigned kDefaultPaletteColors = 16;
constexpr unsigned kHalftonePaletteColors = 256;

// The first 16 entries of the stock default palette: the first 16 of the 20
// static colours (no pure blue, magenta, cyan or white among them). 1, or 0
// when the platform gives fewer.
int GetDefaultPaletteColors(RGBQUAD (&colors)[kDefaultPaletteColors]);

// The 256 entries of a halftone palette made for the screen. 1, or 0 when
// the platform makes none.
int GetHalftonePaletteColors(RGBQUAD (&colors)[kHalftonePaletteColors]);
