#include "png_encoder.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/dib_layout.h"
#include "formats/png_header.h"
#include "png_rows.h"

#ifdef PICTROVE_LIBDEFLATE
#include <libdeflate.h>

#include <memory>
#endif

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

#ifdef PICTROVE_LIBDEFLATE

// Level 1: the greedy match finder of a single hash table, the fastest that
// still looks for matches; an icon's picture comes out a few percent larger
// than at the levels that search lazily, in a fraction of their time.
constexpr int kQuickLevel = 1;

struct CompressorDeleter {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

void PutBigEndian(std::vector<std::uint8_t>* out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<std::uint8_t>(value >> shift));
}

// Ends the chunk whose length field starts at `start`: its length and CRC.
void EndChunk(std::vector<std::uint8_t>* out, std::size_t start) {
  const std::size_t dataLength = out->size() - start - 8;
  for (int i = 0; i < 4; ++i) (*out)[start + i] = static_cast<std::uint8_t>(dataLength >> (24 - 8 * i));
  PutBigEndian(out, libdeflate_crc32(0, out->data() + start + 4, dataLength + 4));
}

void BeginChunk(std::vector<std::uint8_t>* out, const char* type) {
  PutBigEndian(out, 0);
  out->insert(out->end(), type, type + 4);
}

// Every row with the Paeth filter, into one zlib stream of libdeflate's.
bool EncodeQuick(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::vector<std::uint8_t>* png) {
  const std::size_t row = std::size_t(width) * 4;
  const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(kQuickLevel));
  if (compressor == nullptr) return false;
  try {
    std::vector<std::uint8_t> filtered((row + 1) * std::size_t(height));
    for (std::size_t y = 0; y < std::size_t(height); ++y) {
      const std::uint8_t* line = rgba + y * row;
      const std::uint8_t* above = y > 0 ? line - row : nullptr;
      std::uint8_t* to = filtered.data() + y * (row + 1);
      *to++ = png::kFilterPaeth;
      png::FilterRowPaeth(line, above, to, row, 4);
    }
    std::vector<std::uint8_t> out(png::kSignature, png::kSignature + png::kSignatureBytes);
    BeginChunk(&out, "IHDR");
    PutBigEndian(&out, static_cast<std::uint32_t>(width));
    PutBigEndian(&out, static_cast<std::uint32_t>(height));
    // 8 bits a channel, RGBA, deflate, the five filters, no interlace.
    out.insert(out.end(), {8, 6, 0, 0, 0});
    EndChunk(&out, png::kSignatureBytes);
    const std::size_t data = out.size();
    BeginChunk(&out, "IDAT");
    const std::size_t stream = out.size();
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filtered.size());
    out.resize(stream + bound);
    const std::size_t length =
        libdeflate_zlib_compress(compressor.get(), filtered.data(), filtered.size(), out.data() + stream, bound);
    if (length == 0) return false;
    out.resize(stream + length);
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

#endif  // PICTROVE_LIBDEFLATE

}  // namespace

bool EncodePngRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                   std::vector<std::uint8_t>* png, PngEffort effort) {
  // The encoder sizes its buffers in int: the largest icon picture keeps
  // them far below.
  if (rgba == nullptr || !dib_layout::PictureFits(width, height)) return false;
#ifdef PICTROVE_LIBDEFLATE
  if (effort == PngEffort::kQuick) return EncodeQuick(rgba, width, height, png);
#else
  static_cast<void>(effort);
#endif
  Output out{png, false};
  if (!stbi_write_png_to_func(Collect, &out, width, height, 4, rgba, width * 4)) return false;
  return out.complete;
}
