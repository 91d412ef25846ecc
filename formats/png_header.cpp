#include "png_header.h"

#include <cstring>

#include "dib_layout.h"

namespace png {

const std::uint8_t kSignature[kSignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

namespace {

// Channels per colour type, or 0 when the bit depth does not fit that type.
int ChannelsFor(std::uint8_t colourType, std::uint8_t bitDepth) {
  const bool anyDepth = bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
  const bool wideDepth = bitDepth == 8 || bitDepth == 16;
  switch (colourType) {
    case 0: return anyDepth ? 1 : 0;                    // grey
    case 3: return anyDepth && bitDepth != 16 ? 1 : 0;  // palette
    case 2: return wideDepth ? 3 : 0;                   // RGB
    case 4: return wideDepth ? 2 : 0;                   // grey and alpha
    case 6: return wideDepth ? 4 : 0;                   // RGBA
    default: return 0;
  }
}

}  // namespace

bool HasSignature(ByteView bytes) { return bytes.Matches(0, kSignature, kSignatureBytes); }

bool ReadHeader(ByteView bytes, Header* header) {
  if (!HasSignature(bytes)) return false;
  ByteCursor cursor(bytes);
  std::uint32_t chunkLength, width, height;
  char chunkType[4];
  std::uint8_t bitDepth, colourType, compression, filter, interlace;
  if (!cursor.Skip(kSignatureBytes) || !cursor.ReadBigEndianU32(&chunkLength) ||
      !cursor.ReadBytes(chunkType, sizeof chunkType) || !cursor.ReadBigEndianU32(&width) ||
      !cursor.ReadBigEndianU32(&height) || !cursor.ReadU8(&bitDepth) ||
      !cursor.ReadU8(&colourType) || !cursor.ReadU8(&compression) || !cursor.ReadU8(&filter) ||
      !cursor.ReadU8(&interlace)) {
    return false;
  }
  if (chunkLength != 13 || std::memcmp(chunkType, "IHDR", 4) != 0) return false;
  if (!dib_layout::SidesFit(width, height)) return false;
  if (compression != 0 || filter != 0 || interlace > 1) return false;
  int channels = ChannelsFor(colourType, bitDepth);
  if (channels == 0) return false;
  header->width = static_cast<std::int32_t>(width);
  header->height = static_cast<std::int32_t>(height);
  header->bitsPerPixel = channels * bitDepth;
  header->colourType = colourType;
  header->bitDepth = bitDepth;
  header->interlaced = interlace == 1;
  return true;
}

bool ChunkWalker::Next(Chunk* chunk) {
  // Its length, its type, its data, a CRC.
  if (!png_.BigEndianU32(at_, &chunk->length) || !png_.Holds(at_ + 4, 4)) return false;
  std::memcpy(chunk->type, png_.Data() + at_ + 4, 4);
  const std::uint64_t data = at_ + 8;
  const std::uint64_t present = png_.Length() - data;
  chunk->whole = png_.Holds(data, std::uint64_t{chunk->length} + 4);
  chunk->data = png_.Sub(data, chunk->length < present ? chunk->length : present);
  at_ = data + std::uint64_t{chunk->length} + 4;
  return true;
}

namespace {

// The IEND chunk: no data, and the CRC of its type.
constexpr std::uint8_t kEndChunk[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

}  // namespace

bool RestoreEndChunk(ByteView png, std::vector<std::uint8_t>* restored) {
  ChunkWalker chunks(png);
  Chunk chunk;
  std::uint64_t wholeEnd = kSignatureBytes;
  bool imageData = false;
  while (chunks.Next(&chunk) && chunk.whole) {
    if (std::memcmp(chunk.type, "IEND", 4) == 0) return false;
    imageData = imageData || std::memcmp(chunk.type, "IDAT", 4) == 0;
    wholeEnd += std::uint64_t{chunk.length} + 12;
  }
  // What follows the whole chunks must be the start of IEND, or nothing.
  const std::uint64_t tail = png.Length() - wholeEnd;
  if (!imageData || tail >= sizeof kEndChunk || std::memcmp(png.Data() + wholeEnd, kEndChunk, tail) != 0) {
    return false;
  }
  restored->assign(png.Data(), png.Data() + wholeEnd);
  restored->insert(restored->end(), kEndChunk, kEndChunk + sizeof kEndChunk);
  return true;
}

}  // namespace png
