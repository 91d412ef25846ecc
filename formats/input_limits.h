// Every limit on what Pictrove accepts from a file, for the core and the
// platform alike: the largest picture, colour table, block, group and module.
// Anything beyond them is a damaged or hostile file. Each is checked, with
// sizes computed in 64 bits, before anything is allocated or read, so that a
// file cannot make a 32-bit process run out of address space or a size wrap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace limits {

// Width and height of any picture, in pixels: bitmaps, icon images, PNG
// images (the PNG decoder is built with the same bound). Real icons are at
// most 256 x 256 and bitmaps worth turning into an icon are far below this;
// at 32768 a row of 32 bits is 128 KiB and a stride never nears 2^31.
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

// All image blocks of one icon group together: entries may share bytes in a
// file or name one resource, so a small file could ask for many copies.
constexpr std::uint64_t kMaxGroupBytes = std::uint64_t{512} * 1024 * 1024;

// The picture inside an icon object of the native platform (64 MiB of
// colour): icons are drawn at most at 256 x 256, so any larger image is only
// shown scaled down.
constexpr std::int64_t kMaxIconPixels = std::int64_t{4096} * 4096;

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
