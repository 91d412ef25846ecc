// .BMP files: a 14-byte file header, a BITMAPINFOHEADER, the colour table
// and the pixel rows. Files are written with the 40-byte header; they are
// read with it or with the 52-, 56-, 108- (V4) or 124-byte (V5) header.
#pragma once

#include "icon_group.h"

// Reads a bitmap file into a new packed DIB owned by the caller (released with
// free), or shows a message (the path as caption) and returns null. The
// block always has the layout the rest of the program handles: a 40-byte
// header, the file's colour table, and uncompressed bottom-up rows. Bit
// fields become plain 24-bit (from 16) or 32-bit rows, unless their masks
// are those of plain rows; top-down rows are turned; RLE8 and RLE4 become
// 8- and 4-bit indexes. Other compressions are read as stored.
BITMAPINFOHEADER* LoadBitmapFile(const char* path);

// Writes the colour picture of an icon image block (header whose biHeight
// counts colour and mask rows, colour table, colour rows) as a bitmap file.
// The target is replaced only once the whole file is written. 1 or 0.
int SaveBitmapFile(const char* path, BITMAPINFOHEADER* imageBlock);

// Saves one record's colour picture; a PNG image is decoded and written as a
// 32-bit bitmap. 1 or 0.
int SaveImageAsBitmap(const char* path, const IconImage* image);
