// .BMP files: a 14-byte file header, a BITMAPINFOHEADER, the colour table
// and the pixel rows. Files are written with the 40-byte header; they are
// read with it or with the 52-, 56-, 108- (V4) or 124-byte (V5) header.
#pragma once

#include <cstdint>

#include "formats/byte_cursor.h"
#include "icon_group.h"
#include "platform/handles.h"
#include "read_result.h"

// Why a bitmap file gives no block.
enum class BitmapFileFailure {
  kOpenFailed,        // the file can't be opened
  kFileOutOfMemory,   // no block for the file's bytes
  kHeaderUnreadable,  // the file ends inside the file header (or can't be read)
  kUnknownFormat,     // no "BM" file header, an info header shorter than any, or rows that can't be read or sized
  kInfoHeaderCut,     // the file ends inside the info header
  kOs2Header,         // an info header of another size (the OS/2 ones among them)
  kBlockOutOfMemory,  // no block for the picture, or one past the limits
  kTooLarge,          // rows beyond what is read of a huge file
  kColorTableCut,     // the file ends inside the masks or the colour table
  kSeekOutOfRange,    // rows at a file offset of 2^31 or more
  kRowsCut,           // the file ends inside the rows, or they don't decode
  kOverBudget,        // decoded rows past the budget of decoded pixels
};

// Reads the bitmap file whose first bytes are `bytes` (all of them when it
// is `fileLength` bytes long) into a new packed DIB, as LoadBitmapFile does.
// Shows nothing and touches no file.
ReadResult<HeapPtr<BITMAPINFOHEADER>, BitmapFileFailure> ReadBitmapFile(ByteView bytes, std::uint64_t fileLength);

// Reads a bitmap file into a new packed DIB owned by the caller (released with
// free), or shows a message (the path as caption) and returns null. The
// block always has the layout the rest of the program handles: a 40-byte
// header, the file's colour table, and uncompressed bottom-up rows. Bit
// fields become plain 24-bit (from 16) or 32-bit rows, unless their masks
// are those of plain rows; top-down rows are turned; RLE8 and RLE4 become
// 8- and 4-bit indexes. Other compressions are read as stored. At most
// limits::kMaxBitmapFileBytes of the file are read.
BITMAPINFOHEADER* LoadBitmapFile(const char* path);

// Writes the colour picture of an icon image block (header whose biHeight
// counts colour and mask rows, colour table, colour rows) as a bitmap file.
// The target is replaced only once the whole file is written. 1 or 0.
int SaveBitmapFile(const char* path, BITMAPINFOHEADER* imageBlock);

// Saves one record's colour picture; a PNG image is decoded and written as a
// 32-bit bitmap. 1 or 0.
int SaveImageAsBitmap(const char* path, const IconImage* image);
