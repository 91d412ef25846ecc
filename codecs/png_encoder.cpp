#include "png_encoder.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "quick_deflate.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

// Where the encoder's one output block goes.
struct Output {
  std::vector<std::uint8_t>* png;
  bool complete;
};

void Collect(void* context, void* data, int size) {
  auto* out = static_cast<Output*>(context);
  try {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->png->assign(bytes, bytes + size);
    out->complete = true;
  } catch (const std::bad_alloc&) {
    out->complete = false;
  }
}

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t length, std::uint32_t crc = 0) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>* out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<std::uint8_t>(value >> shift));
}

// Ends the chunk whose length field starts at `start`: its length and CRC.
void EndChunk(std::vector<std::uint8_t>* out, std::size_t start) {
  const std::size_t dataLength = out->size() - start - 8;
  for (int i = 0; i < 4; ++i) (*out)[start + i] = static_cast<std::uint8_t>(dataLength >> (24 - 8 * i));
  PutBigEndian(out, Crc32(out->data() + start + 4, dataLength + 4));
}

void BeginChunk(std::vector<std::uint8_t>* out, const char* type) {
  PutBigEndian(out, 0);
  out->insert(out->end(), type, type + 4);
}

int Paeth(int left, int up, int upLeft) {
  const int p = left + up - upLeft;
  const int pa = p > left ? p - left : left - p;
  const int pb = p > up ? p - up : up - p;
  const int pc = p > upLeft ? p - upLeft : upLeft - p;
  return pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
}

// Every row with the Paeth filter, into one quick deflate stream.
bool EncodeQuick(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::vector<std::uint8_t>* png) {
  constexpr std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  constexpr std::uint8_t kPaethFilter = 4;
  const std::size_t row = std::size_t(width) * 4;
  try {
    std::vector<std::uint8_t> filtered((row + 1) * std::size_t(height));
    for (std::size_t y = 0; y < std::size_t(height); ++y) {
      const std::uint8_t* line = rgba + y * row;
      const std::uint8_t* above = y > 0 ? line - row : nullptr;
      std::uint8_t* to = filtered.data() + y * (row + 1);
      *to++ = kPaethFilter;
      for (std::size_t i = 0; i < row; ++i) {
        const int left = i >= 4 ? line[i - 4] : 0;
        const int up = above != nullptr ? above[i] : 0;
        const int upLeft = above != nullptr && i >= 4 ? above[i - 4] : 0;
        to[i] = static_cast<std::uint8_t>(line[i] - Paeth(left, up, upLeft));
      }
    }
    std::vector<std::uint8_t> out(kSignature, kSignature + sizeof kSignature);
    BeginChunk(&out, "IHDR");
    PutBigEndian(&out, static_cast<std::uint32_t>(width));
    PutBigEndian(&out, static_cast<std::uint32_t>(height));
    // 8 bits a channel, RGBA, deflate, the five filters, no interlace.
    out.insert(out.end(), {8, 6, 0, 0, 0});
    EndChunk(&out, sizeof kSignature);
    const std::size_t data = out.size();
    BeginChunk(&out, "IDAT");
    if (!QuickDeflate(filtered.data(), filtered.size(), &out)) return false;
    EndChunk(&out, data);
    const std::size_t end = out.size();
    BeginChunk(&out, "IEND");
    EndChunk(&out, end);
    *png = std::move(out);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

bool EncodePngRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                   std::vector<std::uint8_t>* png, PngEffort effort) {
  // The encoder sizes its buffers in int: the largest icon picture keeps
  // them far below.
  if (rgba == nullptr || !dib_layout::SidesFit(width, height) ||
      std::int64_t{width} * height > limits::kMaxIconPixels) {
    return false;
  }
  if (effort == PngEffort::kQuick) return EncodeQuick(rgba, width, height, png);
  Output out{png, false};
  if (!stbi_write_png_to_func(Collect, &out, width, height, 4, rgba, width * 4)) return false;
  return out.complete;
}
