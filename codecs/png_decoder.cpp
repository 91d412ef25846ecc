#include "png_decoder.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "formats/checked_size.h"
#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "formats/png_header.h"
#include "png_rows.h"

#ifdef PICTROVE_LIBDEFLATE
#include <libdeflate.h>
#endif

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
  png::ChunkWalker chunks(png);
  png::Chunk chunk;
  while (chunks.Next(&chunk)) {
    if (chunk.length == 0 && std::memcmp(chunk.type, "IDAT", 4) == 0) return true;
    if (std::memcmp(chunk.type, "IEND", 4) == 0) return false;
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

#ifdef PICTROVE_LIBDEFLATE

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* decompressor) const { libdeflate_free_decompressor(decompressor); }
};

// The image data of a picture the quick decode takes: one view of it (a
// copy of the chunks together where there are several); false for anything
// else: a chunk stb_image would act on or refuse (a palette, transparency,
// Apple's CgBI, a second header, any other critical chunk), an empty or cut
// chunk, no end.
bool CollectImageData(ByteView png, std::vector<std::uint8_t>* joined, ByteView* data) {
  png::ChunkWalker chunks(png);
  png::Chunk chunk;
  chunks.Next(&chunk);  // the header, read already
  std::size_t count = 0;
  while (chunks.Next(&chunk)) {
    if (!chunk.whole) return false;
    if (std::memcmp(chunk.type, "IEND", 4) == 0) return count > 0;
    if (std::memcmp(chunk.type, "IDAT", 4) == 0) {
      if (chunk.length == 0) return false;
      if (count++ == 0) {
        *data = chunk.data;
        continue;
      }
      if (count == 2) joined->assign(data->Data(), data->Data() + data->Length());
      joined->insert(joined->end(), chunk.data.Data(), chunk.data.Data() + chunk.length);
      *data = ByteView(joined->data(), joined->size());
    } else if (png::IsCritical(chunk) || std::memcmp(chunk.type, "tRNS", 4) == 0) {
      return false;
    }
  }
  return false;
}

// Pictures of 8-bit RGB or RGBA, not interlaced, as nearly every PNG icon
// image is, inflated by libdeflate and unfiltered here: five times as fast
// as stb_image, whose inflate and filters took half of a thumbnail's time.
// False for any other picture, and for data that this way fails to give
// exactly the picture's rows: stb_image then decides, so that what it
// decodes, and how, stays as it was.
bool DecodeQuick(ByteView png, const png::Header& header, std::vector<std::uint8_t>* rgba) {
  if (header.interlaced || header.bitDepth != 8 || (header.colourType != 2 && header.colourType != 6)) return false;
  const std::int32_t width = header.width, height = header.height;
  const std::size_t channels = header.colourType == 6 ? 4 : 3;
  std::uint64_t rowBytes, stored, pixels;
  if (!CheckedMul(std::uint64_t(width), channels, &rowBytes) ||
      !CheckedMul(rowBytes + 1, std::uint64_t(height), &stored) ||
      !CheckedMul(std::uint64_t(width) * 4, std::uint64_t(height), &pixels) || stored > SIZE_MAX ||
      pixels > SIZE_MAX) {
    return false;
  }
  const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(libdeflate_alloc_decompressor());
  if (decompressor == nullptr) return false;
  try {
    std::vector<std::uint8_t> joined;
    ByteView data;
    if (!CollectImageData(png, &joined, &data)) return false;
    std::vector<std::uint8_t> rows(stored > pixels ? stored : pixels);
    // Exactly the rows, whole: shorter or longer data is stb_image's to judge.
    if (libdeflate_zlib_decompress(decompressor.get(), data.Data(), data.Length(), rows.data(), stored, nullptr) !=
            LIBDEFLATE_SUCCESS ||
        !png::UnfilterRows(rows.data(), rowBytes, std::size_t(height), channels)) {
      return false;
    }
    // RGB to RGBA in place, from the last pixel back.
    if (channels == 3) {
      for (std::size_t i = std::size_t(width) * std::size_t(height); i-- > 0;) {
        std::uint8_t* to = rows.data() + 4 * i;
        const std::uint8_t* from = rows.data() + 3 * i;
        const std::uint8_t red = from[0], green = from[1], blue = from[2];
        to[0] = red;
        to[1] = green;
        to[2] = blue;
        to[3] = 0xFF;
      }
    }
    rows.resize(pixels);
    *rgba = std::move(rows);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

#endif  // PICTROVE_LIBDEFLATE

}  // namespace

namespace {

// The general way: stb_image, held to what the declared picture may need.
DecodeOutcome DecodeGeneral(const std::uint8_t* block, std::size_t length, const png::Header& header,
                            RgbaPicture* picture) {
  if (HasEmptyImageDataChunk(ByteView(block, length))) return DecodeOutcome::kUndecodable;
  DecoderAllocationScope scope(DecoderAllocationLimit(length, header.width, header.height));
  int decodedWidth = 0, decodedHeight = 0, channels = 0;
  std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(
      block, static_cast<int>(length), &decodedWidth, &decodedHeight, &channels, 4));
  if (!pixels || decodedWidth != header.width || decodedHeight != header.height) return DecodeOutcome::kUndecodable;
  std::size_t bytes = std::size_t(header.width) * std::size_t(header.height) * 4;
  try {
    picture->pixels.assign(pixels.get(), pixels.get() + bytes);
  } catch (const std::bad_alloc&) {
    return DecodeOutcome::kOutOfMemory;
  }
  picture->width = header.width;
  picture->height = header.height;
  return DecodeOutcome::kDecoded;
}

// The header chunk, and its picture within the budget: kDecoded when
// decoding may go on.
DecodeOutcome ReadDecodableHeader(const std::uint8_t* block, std::size_t length, png::Header* header) {
  if (block == nullptr || length > static_cast<std::size_t>(INT_MAX) ||
      !png::ReadHeader(ByteView(block, length), header)) {
    return DecodeOutcome::kUndecodable;
  }
  return dib_layout::PictureFits(header->width, header->height) ? DecodeOutcome::kDecoded : DecodeOutcome::kTooLarge;
}

}  // namespace

namespace {

// The header checked, then the stream decoded by `way`; a stream cut inside
// or before its end chunk with its image data whole (as some icon files'
// directories count it) is decoded with that chunk put back.
template <typename Way>
DecodeOutcome DecodeStream(const std::uint8_t* block, std::size_t length, RgbaPicture* picture, Way way) {
  png::Header header;
  const DecodeOutcome fits = ReadDecodableHeader(block, length, &header);
  if (fits != DecodeOutcome::kDecoded) return fits;
  std::vector<std::uint8_t> restored;
  try {
    if (png::RestoreEndChunk(ByteView(block, length), &restored)) {
      block = restored.data();
      length = restored.size();
    }
  } catch (const std::bad_alloc&) {
    return DecodeOutcome::kOutOfMemory;
  }
  return way(block, length, header, picture);
}

}  // namespace

DecodeOutcome DecodePng(const std::uint8_t* block, std::size_t length, RgbaPicture* picture) {
  return DecodeStream(block, length, picture,
                      [](const std::uint8_t* stream, std::size_t bytes, const png::Header& header, RgbaPicture* out) {
#ifdef PICTROVE_LIBDEFLATE
                        if (DecodeQuick(ByteView(stream, bytes), header, &out->pixels)) {
                          out->width = header.width;
                          out->height = header.height;
                          return DecodeOutcome::kDecoded;
                        }
#endif
                        return DecodeGeneral(stream, bytes, header, out);
                      });
}

DecodeOutcome DecodePngForDifferential(const std::uint8_t* block, std::size_t length, RgbaPicture* picture) {
  return DecodeStream(block, length, picture, DecodeGeneral);
}
