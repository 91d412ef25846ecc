// .BMP files: a 14-byte file header, a 40-byte BITMAPINFOHEADER, the colour
// table and the pixel rows.
#pragma once

#include "icon_group.h"

// Reads a bitmap file into a new packed DIB owned by the caller (released with
// free), or shows a message (the path as caption) and returns null.
BITMAPINFOHEADER* LoadBitmapFile(const char* path);

// Writes the colour picture of an icon image block (header whose biHeight
// counts colour and mask rows, colour table, colour rows) as a bitmap file.
// The target is replaced only once the whole file is written. 1 or 0.
int SaveBitmapFile(const char* path, BITMAPINFOHEADER* imageBlock);

// Saves one record's colour picture; a PNG image is decoded and written as a
// 32-bit bitmap. 1 or 0.
int SaveImageAsBitmap(const char* path, const IconImage* image);
