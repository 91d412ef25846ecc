// Palettes, and the screen's device context they are made for, for the
// native build. There is no screen: GetDC gives a context that serves only
// as the reference for palettes.
#pragma once

struct HDC__;
using HDC = HDC__*;
struct HPALETTE__;
using HPALETTE = HPALETTE__*;
using HGDIOBJ = void*;

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};
using LPPALETTEENTRY = PALETTEENTRY*;

#define DEFAULT_PALETTE 15

// biCompression of a BITMAPINFOHEADER.
#define BI_RGB 0L
#define BI_BITFIELDS 3L

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC context);

// Stock objects are never deleted; DeleteObject accepts them and does
// nothing, as gdi32 does.
HGDIOBJ GetStockObject(int which);
BOOL DeleteObject(HGDIOBJ object);

// Entries `first` to first + count - 1 of a palette, cut at its end; the
// number copied. With no buffer, the number of entries the palette holds.
UINT GetPaletteEntries(HPALETTE palette, UINT first, UINT count, LPPALETTEENTRY entries);
HPALETTE CreateHalftonePalette(HDC context);
