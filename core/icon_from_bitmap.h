// A bitmap turned into the image of an existing icon record: converted to the
// record's own width, height and depth, with a mask that leaves every pixel
// opaque.
#pragma once

#include "icon_group.h"

// Converts the packed DIB (it stays the caller's) to the record's width,
// height and bitsPerPixel (stretched when the sizes differ and stretch is
// set) and installs the result as the record's block: header (biHeight twice
// the height), colour table, colour rows (at 32 bits with alpha 255, opaque
// as the mask says) and all-zero mask rows, with
// byteCount, header, xorBits and andBits derived from it. The record's former
// block is released only once the new one exists. 1, or 0 with the record
// unchanged. Shows no message.
int IconImageFromDib(IconImage* image, const BITMAPINFOHEADER* dib, BOOL stretch);

// Reads the bitmap file and converts it as IconImageFromDib does. 1, or 0
// with the record unchanged, after the reader's message when the file can't
// be read, or "位图格式不能转换为图标!" (no owner, the path as caption) when
// what it holds can't be converted.
int IconImageFromBitmapFile(const char* path, IconImage* image, BOOL stretch);

// The bitmap branch of opening a file: reads the bitmap, stretched, into the
// group's first record. A group has room for that record when it has an image
// or is the starting group (CreateUntitledGroup, which has room for one);
// once a bitmap is in the starting group's record, the record counts as the
// group's image (imageCount 1), so that it is saved and released with the
// group. True when the record holds the bitmap; false when there is no group or no
// room (nothing is read or shown) or when reading fails (as above).
bool ReadBitmapIntoGroup(IconGroup* group, bool startingGroup, const char* path);
