#include "dib_reformat.h"

#include <cstdlib>
#include <cstring>

#include "dib.h"
#include "platform/handles.h"
#include "formats/dib_layout.h"
#include "pixel_conversion.h"
#include "platform_palettes.h"
#include "stretch_map.h"

namespace {

bool IsConvertibleBitCount(WORD bitCount) {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

// Entries of a full table: 2, 16 or 256, none above 8 bits.
unsigned FullTableColors(WORD bitCount) { return bitCount <= 8 ? 1u << bitCount : 0; }

// The colour table sits behind the 40-byte header; read and written through
// memcpy, as the block gives it no alignment of its own.
BYTE* TableBytes(BITMAPINFOHEADER* header) {
  return reinterpret_cast<BYTE*>(header) + dib_layout::kInfoHeaderBytes;
}
const BYTE* TableBytes(const BITMAPINFOHEADER* header) {
  return reinterpret_cast<const BYTE*>(header) + dib_layout::kInfoHeaderBytes;
}

// Entries the source block's own table holds: what DibPaletteBytes steps
// over, whatever biClrUsed claims.
unsigned HeldColors(const BITMAPINFOHEADER* source) { return DibPaletteBytes(source) / 4u; }

// Entries a DIB section made from the header would hold: biClrUsed, or the
// full table when it is 0 or more than the depth indexes.
unsigned SectionColors(const BITMAPINFOHEADER* header) {
  unsigned full = FullTableColors(header->biBitCount);
  return header->biClrUsed == 0 || header->biClrUsed > full ? full : header->biClrUsed;
}

void CopySourceTable(BITMAPINFOHEADER* target, unsigned count, const BITMAPINFOHEADER* source) {
  unsigned held = HeldColors(source);
  if (held > count) held = count;
  std::memcpy(TableBytes(target), TableBytes(source), held * sizeof(RGBQUAD));
  std::memset(TableBytes(target) + held * sizeof(RGBQUAD), 0, (count - held) * sizeof(RGBQUAD));
}

template <unsigned Count>
int CopyPlatformPalette(BITMAPINFOHEADER* target, int (*get)(RGBQUAD (&)[Count])) {
  RGBQUAD colors[Count] = {};
  int got = get(colors);
  if (!got) std::memset(colors, 0, sizeof colors);
  std::memcpy(TableBytes(target), colors, sizeof colors);
  return got;
}

}  // namespace

int FillColorTable(BITMAPINFOHEADER* target, const BITMAPINFOHEADER* source) {
  switch (target->biBitCount) {
    case 1: {
      const RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
      std::memcpy(TableBytes(target), blackAndWhite, sizeof blackAndWhite);
      return 1;
    }
    case 4:
      if (source != nullptr && source->biBitCount == 4) {
        CopySourceTable(target, 16, source);
        return 1;
      }
      return CopyPlatformPalette<kDefaultPaletteColors>(target, GetDefaultPaletteColors);
    case 8:
      if (source != nullptr && source->biBitCount == 8) {
        CopySourceTable(target, 256, source);
        return 1;
      }
      return CopyPlatformPalette<kHalftonePaletteColors>(target, GetHalftonePaletteColors);
    default:
      return 1;
  }
}

std::int64_t ConvertibleDibBytes(const BITMAPINFOHEADER* source) {
  if (source == nullptr || source->biSize != dib_layout::kInfoHeaderBytes) return -1;
  // A bitmap is bounded by its bytes, not by a side.
  if (!dib_layout::BitmapSidesFit(source->biWidth, source->biHeight)) return -1;
  if (source->biPlanes != 1 || !IsConvertibleBitCount(source->biBitCount)) return -1;
  // Bit fields are not plain rows: their masks decide the colours, and in a
  // packed DIB they sit where DibPixels does not look. The bitmap reader
  // expands them before a conversion sees the rows.
  if (source->biCompression != BI_RGB) return -1;
  const auto stride = static_cast<std::uint64_t>(DibStride64(source->biWidth, source->biBitCount));
  if (static_cast<std::uint64_t>(source->biHeight) > limits::kMaxBlockBytes / stride) return -1;
  std::uint64_t bytes = std::uint64_t{dib_layout::kInfoHeaderBytes} + DibPaletteBytes(source) +
                        stride * static_cast<std::uint64_t>(source->biHeight);
  return bytes <= limits::kMaxBlockBytes ? static_cast<std::int64_t>(bytes) : -1;
}

BITMAPINFOHEADER* ReformatDib(const BITMAPINFOHEADER* source, LONG width, LONG height,
                              WORD bitCount, BOOL stretch) {
  std::int64_t sourceBytes = ConvertibleDibBytes(source);
  if (sourceBytes < 0) return nullptr;
  return ReformatDibBlock(source, static_cast<std::size_t>(sourceBytes), width, height, bitCount,
                          stretch);
}

BITMAPINFOHEADER* ReformatDibBlock(const BITMAPINFOHEADER* source, std::size_t sourceBytes,
                                   LONG width, LONG height, WORD bitCount, BOOL stretch) {
  if (source == nullptr || sourceBytes < dib_layout::kInfoHeaderBytes) return nullptr;
  std::int64_t needed = ConvertibleDibBytes(source);
  if (needed < 0 || static_cast<std::uint64_t>(needed) > sourceBytes) return nullptr;
  if (!IsConvertibleBitCount(bitCount) || !dib_layout::SidesFit(width, height)) return nullptr;
  const std::int64_t targetStride = DibStride64(width, bitCount);
  const std::uint64_t resultBytes =
      kReformatHeaderBlockBytes + static_cast<std::uint64_t>(targetStride) * height;
  if (resultBytes > limits::kMaxBlockBytes) return nullptr;

  HeapPtr<BITMAPINFOHEADER> target(
      static_cast<BITMAPINFOHEADER*>(std::calloc(1, kReformatHeaderBlockBytes)));
  if (!target) return nullptr;
  target->biSize = dib_layout::kInfoHeaderBytes;
  target->biWidth = width;
  target->biHeight = height;
  target->biPlanes = 1;
  target->biBitCount = bitCount;
  if (!FillColorTable(target.get(), source)) return nullptr;

  HeapPtr<BITMAPINFOHEADER> result(
      static_cast<BITMAPINFOHEADER*>(std::calloc(1, static_cast<std::size_t>(resultBytes))));
  if (!result) return nullptr;
  std::memcpy(result.get(), target.get(), kReformatHeaderBlockBytes);

  const WORD sourceBits = source->biBitCount;
  unsigned sourceColors = HeldColors(source);
  if (sourceColors > SectionColors(source)) sourceColors = SectionColors(source);
  SourcePicture from{
      sourceBits,        source->biWidth,
      source->biHeight,  static_cast<std::size_t>(DibStride64(source->biWidth, sourceBits)),
      DibPixels(source), reinterpret_cast<const RGBQUAD*>(TableBytes(source)),
      sourceColors};
  TargetPicture to{bitCount,
                   width,
                   height,
                   static_cast<std::size_t>(targetStride),
                   DibPixels(result.get()),
                   reinterpret_cast<const RGBQUAD*>(TableBytes(target.get())),
                   FullTableColors(bitCount)};

  const bool sameSize = width == source->biWidth && height == source->biHeight;
  AxisMap rows = sameSize || !stretch ? CopyAxisMap(source->biHeight, height)
                                      : StretchRowMap(source->biHeight, height);
  AxisMap columns = sameSize || !stretch ? CopyAxisMap(source->biWidth, width)
                                         : StretchColumnMap(source->biWidth, width);
  // GDI copies indexes as they are when both tables are the same; the target's
  // was copied from the source's, so they are when the source's section would
  // hold a full table.
  const bool copyIndexes = sourceBits == bitCount && (bitCount == 4 || bitCount == 8) &&
                           SectionColors(source) == FullTableColors(bitCount);
  ConvertPixels(from, to, rows, columns, copyIndexes);
  return result.release();
}
