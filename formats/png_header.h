// The start of a PNG stream: the 8-byte signature and the IHDR chunk that
// must follow it. Every icon image of 256 x 256 since Windows Vista is stored
// this way inside .ICO files and icon resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "byte_cursor.h"

namespace png {

constexpr std::size_t kSignatureBytes = 8;
extern const std::uint8_t kSignature[kSignatureBytes];

struct Header {
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitsPerPixel;  // bit depth times channels
  std::uint8_t colourType;
  std::uint8_t bitDepth;
  bool interlaced;  // Adam7
};

// One chunk: its type, and its data as far as the bytes hold it.
struct Chunk {
  char type[4];
  std::uint32_t length;  // as its length field gives it
  ByteView data;
  bool whole;  // its data and CRC are all there
};

// Steps through the chunks that follow the signature, as far as the bytes
// hold a chunk's length and type.
class ChunkWalker {
 public:
  explicit ChunkWalker(ByteView png) : png_(png) {}
  // The next chunk; false where no more begins.
  bool Next(Chunk* chunk);

 private:
  ByteView png_;
  std::uint64_t at_ = kSignatureBytes;
};

// True for a chunk a decoder must understand to decode the picture (its
// type's first letter in upper case).
inline bool IsCritical(const Chunk& chunk) { return (chunk.type[0] & 0x20) == 0; }

// True when the bytes start with the signature.
bool HasSignature(ByteView bytes);

// Reads and checks IHDR: length 13, width and height from 1 to the largest
// dimension accepted, a bit depth that the colour type allows, the only
// compression and filter methods there are, and a known interlace method.
bool ReadHeader(ByteView bytes, Header* header);

// A stream cut inside or just before its IEND chunk, every chunk before it
// whole and image data among them (some icon files' directories count a PNG
// image's bytes short of its end): true, with `restored` the whole chunks
// followed by IEND. False, `restored` untouched, for any other stream.
// Throws std::bad_alloc when memory runs out.
bool RestoreEndChunk(ByteView png, std::vector<std::uint8_t>* restored);

}  // namespace png
