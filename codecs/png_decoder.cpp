#include "png_decoder.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "formats/input_limits.h"
#include "formats/png_header.h"

namespace {

// The largest single block the decoder may take while it decodes the
// current picture. stb_image inflates the image data into a buffer that it
// doubles for as long as data comes, up to 4 GiB, whatever the header chunk
// declared: a few megabytes of a highly compressed stream could take
// gigabytes. Every allocation goes through these, and one larger than the
// declared picture and the input can need is refused.
thread_local std::size_t decoderAllocationLimit = 0;

void* LimitedMalloc(std::size_t bytes) {
  return bytes <= decoderAllocationLimit ? std::malloc(bytes) : nullptr;
}

void* LimitedRealloc(void* block, std::size_t bytes) {
  return bytes <= decoderAllocationLimit ? std::realloc(block, bytes) : nullptr;
}

}  // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (static_cast<int>(limits::kMaxDimension))
#define STBI_MALLOC(bytes) LimitedMalloc(bytes)
#define STBI_REALLOC(block, bytes) LimitedRealloc(block, bytes)
#define STBI_FREE(block) std::free(block)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

// stb_image copies from a null buffer when the first image data chunk is
// empty (undefined behaviour, found by fuzzing); real encoders never write
// one, so such a file is refused before it gets there.
bool HasEmptyImageDataChunk(ByteView png) {
  // Each chunk: its length, its type, its data, a CRC.
  std::uint64_t at = png::kSignatureBytes;
  std::uint32_t chunkLength;
  while (png.BigEndianU32(at, &chunkLength) && png.Holds(at + 4, 4)) {
    if (chunkLength == 0 && png.Matches(at + 4, "IDAT", 4)) return true;
    if (png.Matches(at + 4, "IEND", 4)) return false;
    at += 8 + std::uint64_t{chunkLength} + 4;
  }
  return false;
}

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// What decoding a picture of the declared size may need in one block: the
// inflated rows at the deepest format (16 bits in four channels, a filter
// byte a row), the collected image data, each up to twice over as the
// decoder grows its buffers by doubling.
std::size_t DecoderAllocationLimit(std::size_t length, std::int32_t width, std::int32_t height) {
  std::uint64_t rows = (std::uint64_t(width) * 8 + 1) * std::uint64_t(height);
  std::uint64_t largest = rows > length ? rows : length;
  std::uint64_t limit = 2 * largest + 65536;
  return limit < SIZE_MAX ? static_cast<std::size_t>(limit) : SIZE_MAX;
}

// Sets the limit for one decode, and takes it away again.
class DecoderAllocationScope {
 public:
  explicit DecoderAllocationScope(std::size_t limit) { decoderAllocationLimit = limit; }
  ~DecoderAllocationScope() { decoderAllocationLimit = 0; }
  DecoderAllocationScope(const DecoderAllocationScope&) = delete;
  DecoderAllocationScope& operator=(const DecoderAllocationScope&) = delete;
};

}  // namespace

bool DecodePngRgba(const std::uint8_t* block, std::size_t length, std::int32_t width,
                   std::int32_t height, std::vector<std::uint8_t>* rgba) {
  if (block == nullptr || width < 1 || height < 1 || length > static_cast<std::size_t>(INT_MAX)) {
    return false;
  }
  if (HasEmptyImageDataChunk(ByteView(block, length))) return false;
  DecoderAllocationScope scope(DecoderAllocationLimit(length, width, height));
  int decodedWidth = 0, decodedHeight = 0, channels = 0;
  std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(
      block, static_cast<int>(length), &decodedWidth, &decodedHeight, &channels, 4));
  if (!pixels || decodedWidth != width || decodedHeight != height) return false;
  std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
  try {
    rgba->assign(pixels.get(), pixels.get() + bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
