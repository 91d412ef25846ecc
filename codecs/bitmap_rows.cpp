#include "bitmap_rows.h"

#include <cstring>
#include <utility>

#include "formats/byte_cursor.h"
#include "formats/dib_layout.h"

namespace {

unsigned LowestBit(std::uint32_t mask) {
  unsigned shift = 0;
  while (shift < 32 && !(mask >> shift & 1)) ++shift;
  return shift;
}

unsigned BitsIn(std::uint32_t mask) {
  unsigned bits = 0;
  for (; mask != 0; mask &= mask - 1) ++bits;
  return bits;
}

// One channel of a pixel: its bits taken out by the mask and scaled to 8 bits
// by repeating them (5 bits abcde become abcdeabc), so that the channel's
// largest value becomes 255 and 0 stays 0.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask), shift_(LowestBit(mask)), bits_(BitsIn(mask)) {}

  std::uint8_t Of(std::uint32_t pixel) const {
    if (bits_ == 0) return 0;
    std::uint32_t value = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return static_cast<std::uint8_t>(value >> (bits_ - 8));
    std::uint32_t repeated = 0;
    unsigned filled = 0;
    for (; filled < 8; filled += bits_) repeated = repeated << bits_ | value;
    return static_cast<std::uint8_t>(repeated >> (filled - 8));
  }

 private:
  std::uint32_t mask_;
  unsigned shift_;
  unsigned bits_;
};

bool IsOneRun(std::uint32_t mask) {
  if (mask == 0) return true;
  std::uint32_t run = mask >> LowestBit(mask);
  return (run & (run + 1)) == 0;
}

}  // namespace

BitFieldMasks PlainMasks(std::uint16_t bitCount) {
  BitFieldMasks masks;
  if (bitCount == 16) {
    masks.red = 0x7C00;
    masks.green = 0x03E0;
    masks.blue = 0x001F;
  } else {
    masks.red = 0x00FF0000;
    masks.green = 0x0000FF00;
    masks.blue = 0x000000FF;
  }
  return masks;
}

bool MasksAreUsable(const BitFieldMasks& masks, std::uint16_t bitCount) {
  const std::uint32_t outside = bitCount == 16 ? 0xFFFF0000u : 0;
  for (std::uint32_t mask : {masks.red, masks.green, masks.blue, masks.alpha}) {
    if ((mask & outside) != 0 || !IsOneRun(mask)) return false;
  }
  return true;
}

bool MasksArePlain(const BitFieldMasks& masks, std::uint16_t bitCount) {
  BitFieldMasks plain = PlainMasks(bitCount);
  return masks.red == plain.red && masks.green == plain.green && masks.blue == plain.blue;
}

std::uint16_t ExpandedBitCount(std::uint16_t bitCount) { return bitCount == 16 ? 24 : 32; }

DecodeOutcome ExpandBitFields(const std::uint8_t* source, std::size_t sourceBytes, std::uint16_t bitCount,
                              const BitFieldMasks& masks, std::int32_t width, std::int32_t height, bool topDown,
                              std::uint8_t* target, std::size_t targetBytes) {
  if (width < 0 || height < 0) return DecodeOutcome::kUndecodable;
  const std::size_t sourceStride = static_cast<std::size_t>(dib_layout::RowBytes(width, bitCount));
  const std::uint16_t targetBits = ExpandedBitCount(bitCount);
  const std::size_t targetStride = static_cast<std::size_t>(dib_layout::RowBytes(width, targetBits));
  const std::size_t rows = static_cast<std::size_t>(height);
  if (rows != 0 && (sourceStride > sourceBytes / rows || targetStride > targetBytes / rows)) {
    return DecodeOutcome::kUndecodable;
  }
  const Channel red(masks.red), green(masks.green), blue(masks.blue), alpha(masks.alpha);
  ByteCursor in(source, sourceBytes);
  for (std::size_t stored = 0; stored < rows; ++stored) {
    in.Seek(stored * sourceStride);
    std::uint8_t* out = target + (topDown ? rows - 1 - stored : stored) * targetStride;
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      if (bitCount == 16) {
        std::uint16_t half = 0;
        in.ReadU16(&half);
        pixel = half;
      } else {
        in.ReadU32(&pixel);
      }
      *out++ = blue.Of(pixel);
      *out++ = green.Of(pixel);
      *out++ = red.Of(pixel);
      if (targetBits == 32) *out++ = alpha.Of(pixel);
    }
  }
  return DecodeOutcome::kDecoded;
}

void FlipRows(std::uint8_t* rows, std::size_t stride, std::int32_t height) {
  if (height < 2) return;
  for (std::size_t top = 0, bottom = static_cast<std::size_t>(height) - 1; top < bottom; ++top, --bottom) {
    std::uint8_t* a = rows + top * stride;
    std::uint8_t* b = rows + bottom * stride;
    for (std::size_t i = 0; i < stride; ++i) std::swap(a[i], b[i]);
  }
}

DecodeOutcome DecodeRle(const std::uint8_t* stream, std::size_t streamBytes, std::uint16_t bitCount, std::int32_t width,
                        std::int32_t height, std::uint8_t* rows, std::size_t rowsBytes) {
  if ((bitCount != 4 && bitCount != 8) || width < 0 || height < 0) return DecodeOutcome::kUndecodable;
  const std::size_t stride = static_cast<std::size_t>(dib_layout::RowBytes(width, bitCount));
  if (height != 0 && stride > rowsBytes / static_cast<std::size_t>(height)) return DecodeOutcome::kUndecodable;

  // (x, y): the next pixel, y counted from the bottom row. A pixel is written
  // only where x < width and y < height: as GDI does, a run that goes on past
  // the row's end (writers fill the row's padding so) loses the pixels
  // beyond it.
  std::int64_t x = 0, y = 0;
  auto put = [&](unsigned index) {
    if (x == width) return;
    std::uint8_t* row = rows + static_cast<std::size_t>(y) * stride;
    if (bitCount == 8) {
      row[x] = static_cast<std::uint8_t>(index);
    } else if (x & 1) {
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
    } else {
      row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0F) | (index & 0x0F) << 4);
    }
    ++x;
  };
  // Pixels above the last row are past the picture, not its padding.
  auto inPicture = [&] { return y < height; };

  ByteCursor in(stream, streamBytes);
  for (;;) {
    std::uint8_t count = 0, code = 0;
    if (!in.ReadU8(&count) || !in.ReadU8(&code)) {
      return y >= height ? DecodeOutcome::kDecoded : DecodeOutcome::kUndecodable;
    }
    if (count != 0) {
      // A run: count pixels of one index, or at 4 bits of two alternating.
      if (!inPicture()) return DecodeOutcome::kUndecodable;
      for (unsigned i = 0; i < count; ++i) {
        put(bitCount == 8 ? code : (i & 1) ? code & 0x0F : code >> 4);
      }
      continue;
    }
    switch (code) {
      case 0:  // end of line; one behind the last row ends nothing more
        x = 0;
        if (y < height) ++y;
        break;
      case 1:  // end of bitmap
        return DecodeOutcome::kDecoded;
      case 2: {  // delta: right and up
        std::uint8_t right = 0, up = 0;
        if (!in.ReadU8(&right) || !in.ReadU8(&up)) return DecodeOutcome::kUndecodable;
        if (right > width - x || up > height - y) return DecodeOutcome::kUndecodable;
        x += right;
        y += up;
        break;
      }
      default: {  // code pixels as they are, padded to a whole 16-bit word
        if (!inPicture()) return DecodeOutcome::kUndecodable;
        const std::size_t bytes = bitCount == 8 ? code : (code + 1u) / 2;
        if (bytes > in.Remaining()) return DecodeOutcome::kUndecodable;
        std::uint8_t value = 0;
        for (unsigned i = 0; i < code; ++i) {
          if (bitCount == 8) {
            in.ReadU8(&value);
            put(value);
          } else {
            // At 4 bits each byte holds two pixels, the left one high.
            if (!(i & 1)) in.ReadU8(&value);
            put((i & 1) ? value & 0x0F : value >> 4);
          }
        }
        if ((bytes & 1) && !in.Skip(1)) return DecodeOutcome::kUndecodable;
        break;
      }
    }
  }
}
