#include "bitmap_file.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "codecs/bitmap_rows.h"
#include "dib.h"
#include "file_io.h"
#include "formats/bitmap_file_header.h"
#include "formats/byte_cursor.h"
#include "formats/checked_size.h"
#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "messages.h"
#include "read_result.h"

namespace {

constexpr std::uint32_t kFileHeaderBytes = bitmap_file::kHeaderBytes;
// The masks that follow a 40-byte header whose rows are bit fields.
constexpr DWORD kTrailingMaskBytes = 12;

// The info headers read: the 40-byte one, the two that add colour masks to
// it (52 and 56 bytes) and the V4 and V5 headers (108 and 124 bytes), whose
// further fields (colour space, gamma, profile) change no pixel's place and
// are passed over. The OS/2 headers (12 and 64 bytes) and every other size
// are refused.
bool IsReadableHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The shortest header any bitmap has (OS/2's BITMAPCOREHEADER): a size below
// it is no header of another style but no bitmap at all.
constexpr std::uint32_t kShortestHeaderBytes = 12;

struct InfoHeader {
  BITMAPINFOHEADER fields{};
  BitFieldMasks masks;  // as the header holds them, when it is long enough
};

InfoHeader ParseInfoHeader(ByteView bytes) {
  ByteCursor in(bytes);
  std::uint32_t size = 0, compression = 0, sizeImage = 0, clrUsed = 0, clrImportant = 0;
  std::int32_t width = 0, height = 0, xPels = 0, yPels = 0;
  std::uint16_t planes = 0, bitCount = 0;
  in.ReadU32(&size);
  in.ReadI32(&width);
  in.ReadI32(&height);
  in.ReadU16(&planes);
  in.ReadU16(&bitCount);
  in.ReadU32(&compression);
  in.ReadU32(&sizeImage);
  in.ReadI32(&xPels);
  in.ReadI32(&yPels);
  in.ReadU32(&clrUsed);
  in.ReadU32(&clrImportant);
  InfoHeader info;
  BITMAPINFOHEADER& h = info.fields;
  h.biSize = size;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = planes;
  h.biBitCount = bitCount;
  h.biCompression = compression;
  h.biSizeImage = sizeImage;
  h.biXPelsPerMeter = xPels;
  h.biYPelsPerMeter = yPels;
  h.biClrUsed = clrUsed;
  h.biClrImportant = clrImportant;
  in.ReadU32(&info.masks.red);
  in.ReadU32(&info.masks.green);
  in.ReadU32(&info.masks.blue);
  in.ReadU32(&info.masks.alpha);
  return info;
}

// How the file stores its pixel rows, and what they become in the block.
enum class RowCoding {
  kAsStored,   // read into the block as they are (turned bottom-up if need be)
  kBitFields,  // expanded to plain 24- or 32-bit rows
  kRunLength,  // decoded to plain 4- or 8-bit indexes
};

// Row bytes of a picture of the width and (absolute) height at the bits per
// pixel, or -1 when it can't size a block: a width or height of zero or
// below. The block's bytes bound it, not its sides.
std::int64_t RowBytes(std::int32_t width, std::int64_t height, std::uint32_t bitsPerPixel) {
  if (!dib_layout::BitmapSidesFit(width, height)) return -1;
  std::uint64_t bytes = 0;
  if (!CheckedMul(static_cast<std::uint64_t>(DibStride64(width, bitsPerPixel)), static_cast<std::uint64_t>(height),
                  &bytes)) {
    return -1;
  }
  return static_cast<std::int64_t>(bytes);
}

using BitmapFileResult = ReadResult<HeapPtr<BITMAPINFOHEADER>, BitmapFileFailure>;

// A file's first bytes (all of them when it is `length` bytes long), and the
// reason the read stops at.
struct BitmapBytes {
  ByteView read;
  std::uint64_t length;
  BitmapFileFailure failure = BitmapFileFailure::kUnknownFormat;

  bool Reach(std::uint64_t offset, std::uint64_t n, BitmapFileFailure cut) {
    return Reaches(read, length, offset, n, cut, &failure);
  }
  bool Fail(BitmapFileFailure reason) {
    failure = reason;
    return false;
  }
};

// What the headers say: the block to make and where its parts come from.
struct BitmapLayout {
  std::uint32_t offBits = 0;
  std::uint32_t infoSize = 0;
  InfoHeader info;
  bool topDown = false;
  std::int64_t height = 0;
  RowCoding coding = RowCoding::kAsStored;
  std::uint32_t maskBytes = 0;
  std::int64_t storedRowBytes = 0;
  BITMAPINFOHEADER out{};  // the block's header: plain bottom-up rows
  std::uint32_t paletteBytes = 0;
  std::int64_t rowBytes = 0;

  std::uint64_t TableStart() const { return kFileHeaderBytes + std::uint64_t{infoSize} + maskBytes; }
  std::uint64_t BlockBytes() const {
    return dib_layout::kInfoHeaderBytes + std::uint64_t{paletteBytes} + static_cast<std::uint64_t>(rowBytes);
  }
};

bool ReadFileHeader(BitmapBytes& file, BitmapLayout* layout) {
  if (!file.Reach(0, kFileHeaderBytes, BitmapFileFailure::kHeaderUnreadable)) return false;
  ByteCursor fields(file.read.Sub(0, kFileHeaderBytes));
  std::uint16_t type = 0, reserved1 = 0, reserved2 = 0;
  std::uint32_t declaredSize = 0;
  fields.ReadU16(&type);
  fields.ReadU32(&declaredSize);
  fields.ReadU16(&reserved1);
  fields.ReadU16(&reserved2);
  fields.ReadU32(&layout->offBits);
  if (type != bitmap_file::kSignature || reserved1 != 0 || reserved2 != 0) {
    return file.Fail(BitmapFileFailure::kUnknownFormat);
  }
  return true;
}

bool ReadInfoHeader(BitmapBytes& file, BitmapLayout* layout) {
  constexpr std::uint32_t kShortest = dib_layout::kInfoHeaderBytes;
  if (!file.Reach(kFileHeaderBytes, kShortest, BitmapFileFailure::kInfoHeaderCut)) return false;
  layout->infoSize = ParseInfoHeader(file.read.Sub(kFileHeaderBytes, kShortest)).fields.biSize;
  if (layout->infoSize < kShortestHeaderBytes) return file.Fail(BitmapFileFailure::kUnknownFormat);
  if (!IsReadableHeaderSize(layout->infoSize)) return file.Fail(BitmapFileFailure::kOs2Header);
  if (!file.Reach(kFileHeaderBytes, layout->infoSize, BitmapFileFailure::kInfoHeaderCut)) return false;
  layout->info = ParseInfoHeader(file.read.Sub(kFileHeaderBytes, layout->infoSize));
  return true;
}

// How the rows are stored, and the block they make.
bool PlanBlock(BitmapBytes& file, BitmapLayout* layout) {
  const BITMAPINFOHEADER& header = layout->info.fields;
  layout->topDown = header.biHeight < 0;
  layout->height = layout->topDown ? -std::int64_t{header.biHeight} : header.biHeight;
  const std::uint32_t storedBits = static_cast<std::uint32_t>(header.biPlanes) * header.biBitCount;

  // Bit fields and run lengths are decoded at the depths they are defined
  // for; any other compression is read as stored and left for the
  // conversion to refuse (top-down, it is refused here: nothing could turn
  // rows it can't decode).
  bool fieldDepth = header.biPlanes == 1 && (header.biBitCount == 16 || header.biBitCount == 32);
  if (header.biCompression == kBitFieldRows && fieldDepth) {
    layout->coding = RowCoding::kBitFields;
    // Behind a 40-byte header the masks come first in the colour table's
    // place; a file whose rows begin before their end has no masks (as some
    // writers make them), and its rows are taken as plain ones.
    if (layout->infoSize == dib_layout::kInfoHeaderBytes) {
      const std::uint32_t masksEnd = kFileHeaderBytes + dib_layout::kInfoHeaderBytes + kTrailingMaskBytes;
      const std::uint32_t offBits = layout->offBits;
      layout->maskBytes = offBits == 0 || offBits >= masksEnd ? kTrailingMaskBytes : 0;
      layout->info.masks = layout->maskBytes != 0 ? BitFieldMasks{} : PlainMasks(header.biBitCount);
    }
  } else if (header.biPlanes == 1 &&
             ((header.biCompression == kRle8Rows && header.biBitCount == 8) ||
              (header.biCompression == kRle4Rows && header.biBitCount == 4))) {
    layout->coding = RowCoding::kRunLength;
  }
  // Run lengths are bottom-up by definition; only plain rows and bit fields
  // are turned.
  const bool canTurn = layout->coding == RowCoding::kBitFields ||
                       (layout->coding == RowCoding::kAsStored && header.biCompression == kPlainRows);
  if (layout->topDown && !canTurn) return file.Fail(BitmapFileFailure::kUnknownFormat);

  layout->storedRowBytes = RowBytes(header.biWidth, layout->height, storedBits);
  if (layout->storedRowBytes < 0) return file.Fail(BitmapFileFailure::kUnknownFormat);
  // Rows of no bytes (pixels of 0 bits) are bounded by no block, so their
  // sides keep a picture's bound: each row still costs a step to turn.
  if (layout->storedRowBytes == 0 &&
      (layout->height > limits::kMaxDimension || std::int64_t{header.biWidth} > limits::kMaxDimension)) {
    return file.Fail(BitmapFileFailure::kUnknownFormat);
  }
  layout->paletteBytes = DibPaletteBytes(&header);

  // The block: a 40-byte header describing plain bottom-up rows, the table
  // as the file holds it, and the rows. Bit fields are sized as expanded
  // before their masks are read; masks that turn out plain only shrink it.
  BITMAPINFOHEADER& out = layout->out;
  out = header;
  out.biSize = dib_layout::kInfoHeaderBytes;
  out.biHeight = static_cast<LONG>(layout->height);
  if (layout->coding != RowCoding::kAsStored) {
    out.biCompression = kPlainRows;
    out.biSizeImage = 0;
  }
  if (layout->coding == RowCoding::kBitFields) out.biBitCount = ExpandedBitCount(header.biBitCount);
  layout->rowBytes =
      RowBytes(out.biWidth, layout->height, static_cast<std::uint32_t>(out.biPlanes) * out.biBitCount);
  if (layout->rowBytes < 0 || layout->BlockBytes() > limits::kMaxBlockBytes) {
    return file.Fail(BitmapFileFailure::kBlockOutOfMemory);
  }
  // Rows copied as stored take what the file holds; decoded ones may take
  // far more (a run-length stream of a few bytes can fill gigabytes).
  if (layout->coding != RowCoding::kAsStored &&
      !limits::DecodedFits(static_cast<std::uint64_t>(layout->rowBytes), file.length)) {
    return file.Fail(BitmapFileFailure::kOverBudget);
  }
  return true;
}

// The masks behind a 40-byte header, and what bit fields come to: rows kept
// as stored when their masks are plain ones.
bool ReadMasks(BitmapBytes& file, BitmapLayout* layout) {
  // The colour table (and the masks before it) must be in the file before
  // anything is sized from them.
  const std::uint64_t masksStart = kFileHeaderBytes + std::uint64_t{layout->infoSize};
  if (!file.Reach(masksStart, std::uint64_t{layout->maskBytes} + layout->paletteBytes,
                  BitmapFileFailure::kColorTableCut)) {
    return false;
  }
  BitFieldMasks& masks = layout->info.masks;
  if (layout->maskBytes != 0) {
    ByteCursor fields(file.read.Sub(masksStart, kTrailingMaskBytes));
    fields.ReadU32(&masks.red);
    fields.ReadU32(&masks.green);
    fields.ReadU32(&masks.blue);
  }
  if (layout->coding != RowCoding::kBitFields) return true;
  const WORD bitCount = layout->info.fields.biBitCount;
  // No colour mask at all says no more than plain rows do.
  if (masks.red == 0 && masks.green == 0 && masks.blue == 0) masks = PlainMasks(bitCount);
  if (!MasksAreUsable(masks, bitCount)) return file.Fail(BitmapFileFailure::kUnknownFormat);
  if (MasksArePlain(masks, bitCount)) {
    layout->coding = RowCoding::kAsStored;
    layout->out.biBitCount = bitCount;
    layout->out.biSizeImage = layout->info.fields.biSizeImage;
    layout->rowBytes = layout->storedRowBytes;
  }
  return true;
}

// The rows as the file stores them: their own length, or for run lengths
// the rest of the file, as far as a block may reach.
bool LocateRows(BitmapBytes& file, const BitmapLayout& layout, ByteView* stored) {
  // A position a signed 32-bit file offset can't reach is refused as the
  // platform's seek refuses it.
  if (layout.offBits > static_cast<std::uint32_t>(INT32_MAX)) return file.Fail(BitmapFileFailure::kSeekOutOfRange);
  const std::uint64_t rowsStart =
      layout.offBits != 0 ? layout.offBits : layout.TableStart() + layout.paletteBytes;
  std::uint64_t storedBytes = static_cast<std::uint64_t>(layout.storedRowBytes);
  if (layout.coding == RowCoding::kRunLength) {
    if (rowsStart >= file.length) return file.Fail(BitmapFileFailure::kRowsCut);
    storedBytes = file.length - rowsStart;
    if (storedBytes > limits::kMaxBlockBytes) storedBytes = limits::kMaxBlockBytes;
  }
  if (!file.Reach(rowsStart, storedBytes, BitmapFileFailure::kRowsCut)) return false;
  *stored = file.read.Sub(rowsStart, storedBytes);
  return true;
}

// The block's rows from the stored ones: copied (and turned), expanded or
// decoded.
bool MakeRows(BitmapBytes& file, const BitmapLayout& layout, ByteView stored, BYTE* rows) {
  const auto rowsLength = static_cast<std::size_t>(layout.rowBytes);
  const BITMAPINFOHEADER& out = layout.out;
  if (layout.coding == RowCoding::kAsStored) {
    if (stored.Length() < rowsLength) return file.Fail(BitmapFileFailure::kRowsCut);
    std::memcpy(rows, stored.Data(), rowsLength);
    if (layout.topDown) FlipRows(rows, static_cast<std::size_t>(layout.rowBytes / layout.height), out.biHeight);
    return true;
  }
  // Decoded rows are written pixel by pixel: their padding, and the pixels a
  // run-length stream skips, are zero.
  std::memset(rows, 0, rowsLength);
  const DecodeOutcome decoded =
      layout.coding == RowCoding::kBitFields
          ? ExpandBitFields(stored.Data(), stored.Length(), layout.info.fields.biBitCount, layout.info.masks,
                            out.biWidth, out.biHeight, layout.topDown, rows, rowsLength)
          : DecodeRle(stored.Data(), stored.Length(), out.biBitCount, out.biWidth, out.biHeight, rows,
                      rowsLength);
  return decoded == DecodeOutcome::kDecoded || file.Fail(BitmapFileFailure::kRowsCut);
}

Message BitmapFileMessage(BitmapFileFailure failure) {
  switch (failure) {
    case BitmapFileFailure::kOpenFailed: return Message::kBitmapOpenFailed;
    case BitmapFileFailure::kFileOutOfMemory: return Message::kBitmapOutOfMemory;
    case BitmapFileFailure::kHeaderUnreadable: return Message::kBitmapHeaderReadFailed;
    case BitmapFileFailure::kUnknownFormat: return Message::kBitmapUnknownFormat;
    case BitmapFileFailure::kInfoHeaderCut: return Message::kBitmapInfoReadFailed;
    case BitmapFileFailure::kOs2Header: return Message::kBitmapOs2Header;
    case BitmapFileFailure::kBlockOutOfMemory: return Message::kBitmapRowsOutOfMemory;
    case BitmapFileFailure::kTooLarge: return Message::kBitmapRowsOutOfMemory;
    case BitmapFileFailure::kColorTableCut: return Message::kBitmapColorTableReadFailed;
    case BitmapFileFailure::kSeekOutOfRange: return Message::kBitmapSeekFailed;
    case BitmapFileFailure::kRowsCut: return Message::kBitmapReadFailed;
    case BitmapFileFailure::kOverBudget: return Message::kOverMemoryBudget;
  }
  return Message::kBitmapReadFailed;
}

}  // namespace

BitmapFileResult ReadBitmapFile(ByteView bytes, std::uint64_t fileLength) {
  BitmapBytes file{bytes, fileLength};
  BitmapLayout layout;
  ByteView stored;
  if (!ReadFileHeader(file, &layout) || !ReadInfoHeader(file, &layout) || !PlanBlock(file, &layout) ||
      !ReadMasks(file, &layout) || !LocateRows(file, layout, &stored)) {
    return file.failure;
  }
  HeapPtr<BITMAPINFOHEADER> block(static_cast<BITMAPINFOHEADER*>(
      std::malloc(static_cast<std::size_t>(layout.BlockBytes()))));
  if (!block) return BitmapFileFailure::kBlockOutOfMemory;
  std::memcpy(block.get(), &layout.out, dib_layout::kInfoHeaderBytes);
  const ByteView table = bytes.Sub(layout.TableStart(), layout.paletteBytes);
  if (table.Length() != 0) {
    std::memcpy(reinterpret_cast<BYTE*>(block.get()) + dib_layout::kInfoHeaderBytes, table.Data(), table.Length());
  }
  if (!MakeRows(file, layout, stored, DibPixels(block.get()))) return file.failure;
  return BitmapFileResult(std::move(block));
}

BITMAPINFOHEADER* LoadBitmapFile(const char* path) {
  return ReadFileThrough(path, limits::kMaxBitmapFileBytes,
                         FileReadFailures<BitmapFileFailure>{BitmapFileFailure::kOpenFailed,
                                                             BitmapFileFailure::kHeaderUnreadable,
                                                             BitmapFileFailure::kFileOutOfMemory},
                         BitmapFileMessage, ReadBitmapFile)
      .release();
}
