// Animated cursors (.ANI): a RIFF file of form "ACON" whose chunks are the
// "anih" header, the optional "rate" (each step's time) and "seq " (the
// frame each step shows), and a LIST "fram" of "icon" chunks, each a whole
// .ICO or .CUR file. Chunks are padded to an even length.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_cursor.h"

namespace animated_cursor {

constexpr std::size_t kHeaderChunkBytes = 36;
// The header's flag saying the frames are icon or cursor files (without
// it, they would be bare pictures, which no cursor of Windows' has).
constexpr std::uint32_t kFramesAreIcons = 1;
constexpr std::uint32_t kHasSequence = 2;

struct Header {
  std::uint32_t frames;
  std::uint32_t steps;
  std::uint32_t displayRate;  // in 1/60 s, for steps without a "rate" entry
  std::uint32_t flags;
};

struct Animation {
  Header header;
  // The frames' files, in the order the file stores them.
  std::vector<ByteView> frames;
  // Where each frame's "icon" chunk starts in the file, for a fault in it.
  std::vector<std::uint64_t> frameOffsets;
};

enum class Failure {
  kNotAnimated,     // no "RIFF" of form "ACON"
  kCut,             // a chunk runs past the RIFF or the bytes
  kBadHeader,       // no "anih", or one of another size, count or flags
  kBadSteps,        // a "rate" or "seq " of another length, or a step past the frames
  kFramesMissing,   // no "fram" list, or other than the header's count of frames
  kOutOfMemory,
};

// Where a damaged animation stops reading: the chunk (its four-character
// id) and the offset of its head in the file. `missing`: no such chunk (its
// offset then says nothing).
struct Fault {
  char chunk[5] = "RIFF";
  std::uint64_t offset = 0;
  bool missing = false;
};

// Reads the animation in `bytes` (the whole file); its frames point into
// them, and are not looked into. False, with the reason, when it is none;
// with `fault`, also where it stopped.
bool Read(ByteView bytes, Animation* animation, Failure* failure, Fault* fault = nullptr);

}  // namespace animated_cursor
