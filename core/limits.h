// The largest pictures and blocks Pictrove accepts from a file. Real icons
// are at most 256 x 256 and bitmaps worth turning into an icon are far below
// these; anything larger is a damaged or hostile file, and refusing it before
// allocating keeps a 32-bit process from running out of address space.
#pragma once

#include <cstdint>

namespace limits {

// Width and height of any picture, in pixels.
constexpr std::int64_t kMaxDimension = 32768;

// One image or bitmap block.
constexpr std::uint64_t kMaxBlockBytes = 256u * 1024 * 1024;

// All image blocks of one icon group together (entries may share bytes in a
// file, so a small file can ask for many copies).
constexpr std::uint64_t kMaxGroupBytes = 512u * 1024 * 1024;

// A path with its terminating zero.
constexpr std::size_t kMaxPathBytes = 260;

}  // namespace limits
