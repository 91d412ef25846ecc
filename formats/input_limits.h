// Every limit on what Pictrove accepts from a file, for the core and the
// platform alike: the largest picture, colour table, block, group and module.
// Anything beyond them is a damaged or hostile file. Each is checked, with
// sizes computed in 64 bits, before anything is allocated or read, so that a
// file cannot make a 32-bit process run out of address space or a size wrap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace limits {

// Width and height of an icon image or a PNG image, in pixels (the PNG
// decoder is built with the same bound): real icons are at most 256 x 256;
// at 32768 a row of 32 bits is 128 KiB and a stride never nears 2^31. A
// bitmap is bounded by its bytes (kMaxBlockBytes): one of a single
// long row is a small picture. Rows of 0-bit pixels, which take no bytes,
// keep this bound on their sides.
constexpr std::int64_t kMaxDimension = 32768;

// The colour table is not a limit of its own but follows from the layout:
// biClrUsed counts entries in its low 16 bits and the table's length is four
// times that, wrapping at 16 bits (so 16384 entries take no bytes). No table
// is ever longer than this.
constexpr std::uint32_t kMaxColorTableBytes = 0xFFFC;

// One image or bitmap block, and one converted picture: the largest real
// picture (256 x 256 at 32 bits) takes 256 KiB; a 8192 x 8192 bitmap at 32
// bits still fits.
constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{256} * 1024 * 1024;

// All image blocks of one icon group together. Entries that name the same
// bytes (one place of an icon file, one resource of a module) share one
// copy; the distinct blocks of an icon file can't together exceed the file
// unless they overlap, which no sound file's do, and such a group is refused.
constexpr std::uint64_t kMaxGroupBytes = std::uint64_t{512} * 1024 * 1024;

// The pixels of one picture decoded at once (a PNG image, run-length or
// bit-field rows): 32 MiB at four bytes a pixel, 8 Mi pixels (2896 x 2896).
// A few kilobytes of compressed data can declare gigabytes of pixels, and
// decoding, converting and scaling hold two or three copies of a picture at
// a time: within this budget a file under 10 MiB keeps the whole command
// under 128 MiB. A picture past it is refused with a message of its own.
constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t{32} * 1024 * 1024;

// Decoded bytes a picture may take when it comes from `inputBytes` of the
// file: the budget, or for stored rows that are themselves larger, twice
// them (bit fields widen 16 bits to 24).
constexpr bool DecodedFits(std::uint64_t decodedBytes, std::uint64_t inputBytes) {
  return decodedBytes <= kMaxDecodedBytes || decodedBytes / 2 <= inputBytes;
}

// The picture inside an icon object of the native platform, and any picture
// decoded from an icon image: the decoding budget at 32 bits a pixel. Icons
// are drawn at most at 256 x 256, so any larger image is only shown scaled
// down. dib_layout::PictureFits checks a picture against it.
constexpr std::int64_t kMaxIconPixels = static_cast<std::int64_t>(kMaxDecodedBytes / 4);

// What one input file may make the command write: every file extract writes
// of it (each counted as at least one block of the disk, so that millions
// of tiny files cost as much as they take), and every image line of info
// --all. Groups may share one directory and entries one image, so a file of
// a megabyte can name one image block millions of times: the output may be
// a multiple of the input, never without end. Saving one group is held to
// the same bound, by the bytes the group holds.
constexpr std::uint64_t kOutputBytesPerInputByte = 64;
constexpr std::uint64_t kMinOutputBytes = std::uint64_t{256} * 1024 * 1024;
constexpr std::uint64_t kMinOutputFileBytes = 4096;
constexpr std::uint64_t OutputBudget(std::uint64_t inputBytes) {
  return inputBytes > kMinOutputBytes / kOutputBytesPerInputByte ? inputBytes * kOutputBytesPerInputByte
                                                                  : kMinOutputBytes;
}
// Lines info --all prints for one file: one for every byte of it, 64 Ki at
// least (a directory entry takes 14 bytes, so a file whose groups don't
// share directories stays far below).
constexpr std::uint64_t kMinOutputLines = std::uint64_t{1} << 16;
constexpr std::uint64_t OutputLineBudget(std::uint64_t inputBytes) {
  return inputBytes > kMinOutputLines ? inputBytes : kMinOutputLines;
}

// The side of a thumbnail the command makes: the largest of the freedesktop
// thumbnail sizes (xx-large) that a thumbnail service asks for.
constexpr std::int32_t kMaxThumbnailSide = 1024;

// The most of a PE module's start the native reader reads for headers that
// lie past its first page: resource addresses are 32 bits and real modules
// keep their headers far below 1 GiB, so a mistaken choice of a huge file
// costs nothing. Modules themselves are read of any size (an installer with
// data appended), as far as their headers and resources need.
constexpr std::uint64_t kMaxModuleBytes = std::uint64_t{1} << 30;

// The alignment shift of a 16-bit (NE) module's resource table: offsets
// count 16-bit numbers of units of 2^shift bytes, so at 15 they reach 2 GiB,
// past any module we read. Linkers write 4 to 9 (and Wine's 0); a table with
// a larger shift is refused.
constexpr std::uint16_t kMaxNeAlignShift = 15;

// An icon file the reader, and the native platform's ExtractIconA, read
// whole: 256 images of 256 x 256 at 32 bits take about 64 MiB.
constexpr std::uint64_t kMaxIconFileBytes = std::uint64_t{128} * 1024 * 1024;

// A bitmap file the reader reads whole: the largest block's rows behind the
// longest header, masks and colour table. A file whose rows lie further in
// (behind a gap) is refused as too large.
constexpr std::uint64_t kMaxBitmapFileBytes = kMaxBlockBytes + 1024 * 1024;

}  // namespace limits
