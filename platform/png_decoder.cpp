#include "png_decoder.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 32768
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

std::uint32_t BigEndianU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

// stb_image copies from a null buffer when the first image data chunk is
// empty (undefined behaviour, found by fuzzing); real encoders never write
// one, so such a file is refused before it gets there.
bool HasEmptyImageDataChunk(const std::uint8_t* block, std::size_t length) {
  std::size_t at = 8;  // behind the signature
  while (at <= length && 8 <= length - at) {
    std::uint32_t chunkLength = BigEndianU32(block + at);
    if (chunkLength == 0 && std::memcmp(block + at + 4, "IDAT", 4) == 0) return true;
    if (std::memcmp(block + at + 4, "IEND", 4) == 0) return false;
    if (chunkLength > length - at - 8 || 4 > length - at - 8 - chunkLength) return false;
    at += 8 + std::size_t{chunkLength} + 4;
  }
  return false;
}

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

bool DecodePngRgba(const std::uint8_t* block, std::size_t length, std::int32_t width,
                   std::int32_t height, std::vector<std::uint8_t>* rgba) {
  if (block == nullptr || width < 1 || height < 1 || length > static_cast<std::size_t>(INT_MAX)) {
    return false;
  }
  if (HasEmptyImageDataChunk(block, length)) return false;
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
