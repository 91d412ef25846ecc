#include "png_image.h"

#include <cstdlib>
#include <cstring>
#include <vector>
#include <climits>

#include "byte_cursor.h"
#include "dib.h"
#include "limits.h"
#include "platform/png_decoder.h"

namespace {

const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Channels per colour type, and whether the bit depth fits that type.
int ChannelsFor(std::uint8_t colourType, std::uint8_t bitDepth) {
  switch (colourType) {
    case 0:  // grey
      return (bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16)
                 ? 1 : 0;
    case 3:  // palette
      return (bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8) ? 1 : 0;
    case 2:  // RGB
      return (bitDepth == 8 || bitDepth == 16) ? 3 : 0;
    case 4:  // grey and alpha
      return (bitDepth == 8 || bitDepth == 16) ? 2 : 0;
    case 6:  // RGBA
      return (bitDepth == 8 || bitDepth == 16) ? 4 : 0;
    default:
      return 0;
  }
}

}  // namespace

bool IsPngBlock(const BYTE* block, std::size_t length) {
  return block != nullptr && length >= sizeof kPngSignature &&
         std::memcmp(block, kPngSignature, sizeof kPngSignature) == 0;
}

bool ReadPngHeader(const BYTE* block, std::size_t length, PngHeader* header) {
  if (!IsPngBlock(block, length)) return false;
  ByteCursor cursor(block, length);
  std::uint32_t chunkLength, width, height;
  char chunkType[4];
  std::uint8_t bitDepth, colourType, compression, filter, interlace;
  if (!cursor.Skip(sizeof kPngSignature) || !cursor.ReadBigEndianU32(&chunkLength) ||
      !cursor.ReadBytes(chunkType, sizeof chunkType) || !cursor.ReadBigEndianU32(&width) ||
      !cursor.ReadBigEndianU32(&height) || !cursor.ReadU8(&bitDepth) ||
      !cursor.ReadU8(&colourType) || !cursor.ReadU8(&compression) || !cursor.ReadU8(&filter) ||
      !cursor.ReadU8(&interlace)) {
    return false;
  }
  if (chunkLength != 13 || std::memcmp(chunkType, "IHDR", 4) != 0) return false;
  if (width == 0 || height == 0 || width > limits::kMaxDimension ||
      height > limits::kMaxDimension) {
    return false;
  }
  if (compression != 0 || filter != 0 || interlace > 1) return false;
  int channels = ChannelsFor(colourType, bitDepth);
  if (channels == 0) return false;
  header->width = static_cast<std::int32_t>(width);
  header->height = static_cast<std::int32_t>(height);
  header->bitsPerPixel = channels * bitDepth;
  return true;
}

BITMAPINFOHEADER* DecodePngToDib(const BYTE* block, std::size_t length) {
  PngHeader png;
  if (!ReadPngHeader(block, length, &png)) return nullptr;
  std::uint64_t pixelBytes = std::uint64_t(png.width) * std::uint64_t(png.height) * 4;
  if (pixelBytes > limits::kMaxBlockBytes) return nullptr;
  std::vector<std::uint8_t> rgba;
  if (!DecodePngRgba(block, length, png.width, png.height, &rgba)) return nullptr;
  const int width = png.width, height = png.height;

  auto* dib = static_cast<BITMAPINFOHEADER*>(std::malloc(sizeof(BITMAPINFOHEADER) + pixelBytes));
  if (dib == nullptr) return nullptr;
  std::memset(dib, 0, sizeof *dib);
  dib->biSize = sizeof(BITMAPINFOHEADER);
  dib->biWidth = width;
  dib->biHeight = height;
  dib->biPlanes = 1;
  dib->biBitCount = 32;
  BYTE* rows = DibPixels(dib);
  std::size_t stride = std::size_t(width) * 4;
  for (int y = 0; y < height; ++y) {
    // PNG runs top-down, a DIB bottom-up.
    const std::uint8_t* from = rgba.data() + std::size_t(height - 1 - y) * stride;
    BYTE* to = rows + std::size_t(y) * stride;
    for (int x = 0; x < width; ++x) {
      to[4 * x + 0] = from[4 * x + 2];
      to[4 * x + 1] = from[4 * x + 1];
      to[4 * x + 2] = from[4 * x + 0];
      to[4 * x + 3] = from[4 * x + 3];
    }
  }
  return dib;
}
