#include "icon_picture.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "formats/dib_layout.h"
#include "formats/png_header.h"
#include "png_decoder.h"

namespace {

// Sizes the picture's arrays; false when memory runs out.
bool Allocate(IconPicture* picture, std::int32_t width, std::int32_t height) {
  try {
    std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    picture->colors.assign(pixels, 0xFF000000u);
    picture->mask.assign(pixels, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  picture->width = width;
  picture->height = height;
  picture->hasAlpha = false;
  return true;
}

// Alpha means any pixel with a non-zero alpha byte; without it the alpha
// bytes are not looked at, and the picture is drawn through its mask.
void SettleAlpha(IconPicture* picture) {
  picture->hasAlpha = false;
  for (std::uint32_t color : picture->colors) {
    if ((color >> 24) != 0) {
      picture->hasAlpha = true;
      return;
    }
  }
  for (std::uint32_t& color : picture->colors) color |= 0xFF000000u;
}

DecodeOutcome DecodePngPicture(const std::uint8_t* block, std::size_t length, IconPicture* picture) {
  RgbaPicture rgba;
  const DecodeOutcome decoded = DecodePng(block, length, &rgba);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  IconPicture made;
  if (!Allocate(&made, rgba.width, rgba.height)) return DecodeOutcome::kOutOfMemory;
  const std::uint8_t* from = rgba.pixels.data();
  for (std::size_t i = 0; i < made.colors.size(); ++i, from += 4) {
    made.colors[i] = static_cast<std::uint32_t>(from[3]) << 24 | static_cast<std::uint32_t>(from[0]) << 16 |
                     static_cast<std::uint32_t>(from[1]) << 8 | from[2];
    made.mask[i] = from[3] != 0xFF;
  }
  SettleAlpha(&made);
  if (!made.hasAlpha) std::fill(made.mask.begin(), made.mask.end(), 0);
  *picture = std::move(made);
  return DecodeOutcome::kDecoded;
}

std::uint32_t Expand5(std::uint32_t value) { return value << 3 | value >> 2; }

// The colour table of an indexed DIB.
struct ColorTable {
  const std::uint8_t* entries;
  std::uint64_t count;

  std::uint32_t Color(std::uint32_t index) const {
    if (index >= count) return 0xFF000000u;  // no such entry: black
    const std::uint8_t* entry = entries + 4 * index;
    return 0xFF000000u | static_cast<std::uint32_t>(entry[2]) << 16 |
           static_cast<std::uint32_t>(entry[1]) << 8 | entry[0];
  }
};

// A reader for each depth: one stored row of `width` pixels to 0xAARRGGBB.
using RowReader = void (*)(const std::uint8_t* row, std::int64_t width, const ColorTable& table,
                           std::uint32_t* out);

void ReadRow1(const std::uint8_t* row, std::int64_t width, const ColorTable& table, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) out[x] = table.Color(row[x / 8] >> (7 - x % 8) & 1);
}

void ReadRow4(const std::uint8_t* row, std::int64_t width, const ColorTable& table, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) out[x] = table.Color(row[x / 2] >> (x % 2 ? 0 : 4) & 0xF);
}

void ReadRow8(const std::uint8_t* row, std::int64_t width, const ColorTable& table, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) out[x] = table.Color(row[x]);
}

// 5-5-5, each channel widened to eight bits.
void ReadRow16(const std::uint8_t* row, std::int64_t width, const ColorTable&, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) {
    std::uint32_t value = LoadU16(row + 2 * x);
    out[x] = 0xFF000000u | Expand5(value >> 10 & 0x1F) << 16 | Expand5(value >> 5 & 0x1F) << 8 |
             Expand5(value & 0x1F);
  }
}

void ReadRow24(const std::uint8_t* row, std::int64_t width, const ColorTable&, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) {
    out[x] = 0xFF000000u | static_cast<std::uint32_t>(row[3 * x + 2]) << 16 |
             static_cast<std::uint32_t>(row[3 * x + 1]) << 8 | row[3 * x];
  }
}

// The alpha bytes are kept as stored; SettleAlpha decides whether they count.
void ReadRow32(const std::uint8_t* row, std::int64_t width, const ColorTable&, std::uint32_t* out) {
  for (std::int64_t x = 0; x < width; ++x) out[x] = LoadU32(row + 4 * x);
}

// Null for a depth we do not decode.
RowReader RowReaderFor(std::uint32_t bitCount) {
  switch (bitCount) {
    case 1:
      return ReadRow1;
    case 4:
      return ReadRow4;
    case 8:
      return ReadRow8;
    case 16:
      return ReadRow16;
    case 24:
      return ReadRow24;
    case 32:
      return ReadRow32;
    default:
      return nullptr;
  }
}

void ReadMaskRow(const std::uint8_t* row, std::int64_t width, std::uint8_t* out) {
  for (std::int64_t x = 0; x < width; ++x) out[x] = row[x / 8] >> (7 - x % 8) & 1;
}

// Where the parts of an icon image's DIB lie, and the reader of its rows.
struct DibLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t bitCount = 0;
  RowReader readRow = nullptr;
  ColorTable table{};
  const std::uint8_t* colorRows = nullptr;
  std::uint64_t colorStride = 0;
  const std::uint8_t* maskRows = nullptr;
  std::uint64_t maskStride = 0;
  bool hasMask = false;
};

// kUndecodable when the header is not one we decode or the block is too
// short for the table and colour rows it declares; kTooLarge for a picture
// past the budget.
DecodeOutcome LayOutDib(const std::uint8_t* block, std::size_t length, DibLayout* dib) {
  ByteView header(block, length);
  std::uint32_t headerBytes = 0, compression = 0, clrUsed = 0, rawWidth = 0, rawHeight = 0;
  std::uint16_t bitCount = 0;
  if (!header.Holds(0, dib_layout::kInfoHeaderBytes) || !header.U32(0, &headerBytes) ||
      headerBytes != dib_layout::kInfoHeaderBytes ||
      !header.U32(4, &rawWidth) || !header.U32(8, &rawHeight) || !header.U16(14, &bitCount) ||
      !header.U32(16, &compression) || !header.U32(32, &clrUsed)) {
    return DecodeOutcome::kUndecodable;
  }
  std::int64_t width = static_cast<std::int32_t>(rawWidth);
  std::int64_t height = static_cast<std::int32_t>(rawHeight) / 2;
  RowReader readRow = RowReaderFor(bitCount);
  if (compression != 0 || readRow == nullptr || !dib_layout::SidesFit(width, height)) {
    return DecodeOutcome::kUndecodable;
  }
  if (!dib_layout::PictureFits(width, height)) return DecodeOutcome::kTooLarge;
  std::uint64_t tableEntries = clrUsed != 0 ? (clrUsed < 256 ? clrUsed : 256)
                                            : (bitCount <= 8 ? 1u << bitCount : 0);
  std::uint64_t tableBytes = tableEntries * 4;
  std::uint64_t colorStride = static_cast<std::uint64_t>(dib_layout::RowBytes(width, bitCount));
  std::uint64_t maskStride = static_cast<std::uint64_t>(dib_layout::RowBytes(width, 1));
  std::uint64_t colorBytes = colorStride * static_cast<std::uint64_t>(height);
  std::uint64_t maskBytes = maskStride * static_cast<std::uint64_t>(height);
  std::uint64_t have = length - dib_layout::kInfoHeaderBytes;
  if (tableBytes > have || colorBytes > have - tableBytes) return DecodeOutcome::kUndecodable;

  dib->width = width;
  dib->height = height;
  dib->bitCount = bitCount;
  dib->readRow = readRow;
  dib->table = ColorTable{block + dib_layout::kInfoHeaderBytes, tableEntries};
  dib->colorRows = dib->table.entries + tableBytes;
  dib->colorStride = colorStride;
  dib->maskRows = dib->colorRows + colorBytes;
  dib->maskStride = maskStride;
  dib->hasMask = maskBytes <= have - tableBytes - colorBytes;
  return DecodeOutcome::kDecoded;
}

DecodeOutcome DecodeDib(const std::uint8_t* block, std::size_t length, IconPicture* picture) {
  DibLayout dib;
  const DecodeOutcome laidOut = LayOutDib(block, length, &dib);
  if (laidOut != DecodeOutcome::kDecoded) return laidOut;
  IconPicture decoded;
  if (!Allocate(&decoded, static_cast<std::int32_t>(dib.width), static_cast<std::int32_t>(dib.height))) {
    return DecodeOutcome::kOutOfMemory;
  }
  for (std::int64_t y = 0; y < dib.height; ++y) {
    // Rows are stored bottom-up.
    std::uint64_t stored = static_cast<std::uint64_t>(dib.height - 1 - y);
    dib.readRow(dib.colorRows + stored * dib.colorStride, dib.width, dib.table,
                decoded.colors.data() + y * dib.width);
    if (dib.hasMask) {
      ReadMaskRow(dib.maskRows + stored * dib.maskStride, dib.width, decoded.mask.data() + y * dib.width);
    }
  }
  if (dib.bitCount == 32) {
    SettleAlpha(&decoded);
  }
  *picture = std::move(decoded);
  return DecodeOutcome::kDecoded;
}

std::uint32_t Blend(std::uint32_t color, std::uint32_t background, int shift) {
  std::uint32_t alpha = color >> 24;
  std::uint32_t source = ((color >> shift & 0xFF) * alpha + 127) / 255;
  std::uint32_t under = ((background >> shift & 0xFF) * (255 - alpha) + 127) / 255;
  std::uint32_t sum = source + under;
  return (sum > 255 ? 255 : sum) << shift;
}

}  // namespace

DecodeOutcome DecodeIconImage(const std::uint8_t* block, std::size_t length, IconPicture* picture) {
  if (block == nullptr || picture == nullptr) return DecodeOutcome::kUndecodable;
  if (png::HasSignature(ByteView(block, length))) return DecodePngPicture(block, length, picture);
  return DecodeDib(block, length, picture);
}

bool StretchIconPicture(const IconPicture& source, std::int32_t width, std::int32_t height,
                        IconPicture* stretched) {
  if (!dib_layout::PictureFits(width, height) || source.width < 1 || source.height < 1) return false;
  IconPicture result;
  if (!Allocate(&result, width, height)) return false;
  for (std::int64_t y = 0; y < height; ++y) {
    std::int64_t fromY = (2 * y + 1) * source.height / (2 * std::int64_t{height});
    for (std::int64_t x = 0; x < width; ++x) {
      std::int64_t fromX = (2 * x + 1) * source.width / (2 * std::int64_t{width});
      std::size_t to = static_cast<std::size_t>(y * width + x);
      std::size_t from = static_cast<std::size_t>(fromY * source.width + fromX);
      result.colors[to] = source.colors[from];
      result.mask[to] = source.mask[from];
    }
  }
  result.hasAlpha = source.hasAlpha;
  *stretched = std::move(result);
  return true;
}

std::uint32_t DrawnIconPixel(const IconPicture& picture, std::int32_t x, std::int32_t y,
                             std::uint32_t background) {
  std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                   static_cast<std::size_t>(x);
  std::uint32_t color = picture.colors[at];
  if (picture.hasAlpha) {
    return Blend(color, background, 16) | Blend(color, background, 8) | Blend(color, background, 0);
  }
  std::uint32_t under = picture.mask[at] ? background & 0xFFFFFFu : 0;
  return (under ^ color) & 0xFFFFFFu;
}
