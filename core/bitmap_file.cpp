#include "bitmap_file.h"

#include <climits>
#include <cstring>

#include "bitmap_decoding.h"
#include "formats/byte_cursor.h"
#include "dib.h"
#include "formats/little_endian.h"
#include "file_io.h"
#include "messages.h"
#include "platform/handles.h"
#include "formats/dib_layout.h"
#include "messages.h"
#include "png_image.h"
#include "replacement_file.h"

namespace {

constexpr WORD kBitmapSignature = 19778;  // "BM"
constexpr DWORD kFileHeaderBytes = 14;
// The masks that follow a 40-byte header whose rows are bit fields.
constexpr DWORD kTrailingMaskBytes = 12;

BITMAPINFOHEADER* Fail(const char* path, Message message) {
  ShowMessage(message, path);
  return nullptr;
}

int FailWrite(const char* path, Message message) {
  ShowMessage(message, path);
  return 0;
}

// The info headers read: the 40-byte one, the two that add colour masks to
// it (52 and 56 bytes) and the V4 and V5 headers (108 and 124 bytes), whose
// further fields (colour space, gamma, profile) change no pixel's place and
// are passed over. The OS/2 headers (12 and 64 bytes) and every other size
// are refused.
bool IsReadableHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}
constexpr DWORD kLargestInfoHeaderBytes = 124;

struct InfoHeader {
  BITMAPINFOHEADER fields{};
  BitFieldMasks masks;  // as the header holds them, when it is long enough
};

InfoHeader ParseInfoHeader(const BYTE* bytes, std::size_t length) {
  ByteCursor in(bytes, length);
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
// below, or beyond the largest dimension accepted.
std::int64_t RowBytes(std::int32_t width, std::int64_t height, std::uint32_t bitsPerPixel) {
  if (!dib_layout::SidesFit(width, height)) return -1;
  return DibStride64(width, bitsPerPixel) * height;
}

}  // namespace

BITMAPINFOHEADER* LoadBitmapFile(const char* path) {
  FileHandle file(OpenForReading(path));
  if (!file.IsValid()) return Fail(path, Message::kBitmapOpenFailed);

  BYTE fileHeader[kFileHeaderBytes];
  if (!ReadExactly(file.Get(), fileHeader, sizeof fileHeader)) {
    return Fail(path, Message::kBitmapHeaderReadFailed);
  }
  ByteCursor fields(fileHeader, sizeof fileHeader);
  std::uint16_t type = 0, reserved1 = 0, reserved2 = 0;
  std::uint32_t declaredSize = 0, offBits = 0;
  fields.ReadU16(&type);
  fields.ReadU32(&declaredSize);
  fields.ReadU16(&reserved1);
  fields.ReadU16(&reserved2);
  fields.ReadU32(&offBits);
  if (type != kBitmapSignature || reserved1 != 0 || reserved2 != 0) {
    return Fail(path, Message::kBitmapUnknownFormat);
  }

  BYTE infoBytes[kLargestInfoHeaderBytes] = {};
  if (!ReadExactly(file.Get(), infoBytes, dib_layout::kInfoHeaderBytes)) {
    return Fail(path, Message::kBitmapInfoReadFailed);
  }
  std::uint32_t infoSize = ParseInfoHeader(infoBytes, dib_layout::kInfoHeaderBytes).fields.biSize;
  if (!IsReadableHeaderSize(infoSize)) return Fail(path, Message::kBitmapOs2Header);
  if (infoSize > dib_layout::kInfoHeaderBytes &&
      !ReadExactly(file.Get(), infoBytes + dib_layout::kInfoHeaderBytes, infoSize - dib_layout::kInfoHeaderBytes)) {
    return Fail(path, Message::kBitmapInfoReadFailed);
  }
  InfoHeader info = ParseInfoHeader(infoBytes, infoSize);
  BITMAPINFOHEADER header = info.fields;
  const bool topDown = header.biHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t{header.biHeight} : header.biHeight;
  const std::uint32_t storedBits = static_cast<std::uint32_t>(header.biPlanes) * header.biBitCount;

  // Bit fields and run lengths are decoded at the depths they are defined
  // for; any other compression is read as stored and left for the
  // conversion to refuse (top-down, it is refused here: nothing could turn
  // rows it can't decode).
  RowCoding coding = RowCoding::kAsStored;
  DWORD maskBytes = 0;
  bool fieldDepth = header.biPlanes == 1 && (header.biBitCount == 16 || header.biBitCount == 32);
  if (header.biCompression == kBitFieldRows && fieldDepth) {
    coding = RowCoding::kBitFields;
    // Behind a 40-byte header the masks come first in the colour table's
    // place; a file whose rows begin before their end has no masks (as some
    // writers make them), and its rows are taken as plain ones.
    if (infoSize == dib_layout::kInfoHeaderBytes) {
      const std::uint32_t masksEnd = kFileHeaderBytes + dib_layout::kInfoHeaderBytes + kTrailingMaskBytes;
      maskBytes = offBits == 0 || offBits >= masksEnd ? kTrailingMaskBytes : 0;
      info.masks = maskBytes != 0 ? BitFieldMasks{} : PlainMasks(header.biBitCount);
    }
  } else if (header.biPlanes == 1 &&
             ((header.biCompression == kRle8Rows && header.biBitCount == 8) ||
              (header.biCompression == kRle4Rows && header.biBitCount == 4))) {
    coding = RowCoding::kRunLength;
  }
  // Run lengths are bottom-up by definition; only plain rows and bit fields
  // are turned.
  const bool canTurn = coding == RowCoding::kBitFields ||
                       (coding == RowCoding::kAsStored && header.biCompression == kPlainRows);
  if (topDown && !canTurn) return Fail(path, Message::kBitmapUnknownFormat);

  std::int64_t storedRowBytes = RowBytes(header.biWidth, height, storedBits);
  if (storedRowBytes < 0) return Fail(path, Message::kBitmapUnknownFormat);
  DWORD paletteBytes = DibPaletteBytes(&header);

  // The block: a 40-byte header describing plain bottom-up rows, the table
  // as the file holds it, and the rows. Bit fields are sized as expanded
  // before their masks are read; masks that turn out plain only shrink it.
  BITMAPINFOHEADER out = header;
  out.biSize = dib_layout::kInfoHeaderBytes;
  out.biHeight = static_cast<LONG>(height);
  if (coding != RowCoding::kAsStored) {
    out.biCompression = kPlainRows;
    out.biSizeImage = 0;
  }
  if (coding == RowCoding::kBitFields) out.biBitCount = ExpandedBitCount(header.biBitCount);
  std::int64_t rowBytes =
      RowBytes(out.biWidth, height, static_cast<std::uint32_t>(out.biPlanes) * out.biBitCount);
  std::uint64_t blockBytes = dib_layout::kInfoHeaderBytes + std::uint64_t{paletteBytes} + rowBytes;
  if (blockBytes > limits::kMaxBlockBytes) return Fail(path, Message::kBitmapRowsOutOfMemory);

  // Sizes the file can't hold are refused with the message their short read
  // would give, before a block is sized from them.
  std::uint64_t fileLength = 0;
  bool lengthKnown = FileLength(file.Get(), &fileLength);
  std::uint64_t tableEnd =
      std::uint64_t{kFileHeaderBytes} + infoSize + maskBytes + std::uint64_t{paletteBytes};
  if (lengthKnown && tableEnd > fileLength) return Fail(path, Message::kBitmapColorTableReadFailed);

  if (maskBytes != 0) {
    BYTE maskField[kTrailingMaskBytes];
    if (!ReadExactly(file.Get(), maskField, sizeof maskField)) {
      return Fail(path, Message::kBitmapColorTableReadFailed);
    }
    ByteCursor masks(maskField, sizeof maskField);
    masks.ReadU32(&info.masks.red);
    masks.ReadU32(&info.masks.green);
    masks.ReadU32(&info.masks.blue);
  }
  if (coding == RowCoding::kBitFields) {
    BitFieldMasks& masks = info.masks;
    // No colour mask at all says no more than plain rows do.
    if (masks.red == 0 && masks.green == 0 && masks.blue == 0) masks = PlainMasks(header.biBitCount);
    if (!MasksAreUsable(masks, header.biBitCount)) return Fail(path, Message::kBitmapUnknownFormat);
    if (MasksArePlain(masks, header.biBitCount)) {
      coding = RowCoding::kAsStored;
      out.biBitCount = header.biBitCount;
      out.biSizeImage = header.biSizeImage;
      rowBytes = storedRowBytes;
      blockBytes = dib_layout::kInfoHeaderBytes + std::uint64_t{paletteBytes} + rowBytes;
    }
  }

  if (offBits > static_cast<std::uint32_t>(INT32_MAX)) return Fail(path, Message::kBitmapSeekFailed);
  std::uint64_t rowsStart = offBits != 0 ? offBits : tableEnd;
  // The rows as the file stores them: their own length, or for run lengths
  // the rest of the file, as far as a block may reach.
  std::uint64_t storedBytes = static_cast<std::uint64_t>(storedRowBytes);
  if (coding == RowCoding::kRunLength) {
    if (!lengthKnown || rowsStart >= fileLength) return Fail(path, Message::kBitmapReadFailed);
    storedBytes = fileLength - rowsStart;
    if (storedBytes > limits::kMaxBlockBytes) storedBytes = limits::kMaxBlockBytes;
  }
  if (lengthKnown && rowsStart + storedBytes > fileLength) return Fail(path, Message::kBitmapReadFailed);

  HeapPtr<BITMAPINFOHEADER> block(static_cast<BITMAPINFOHEADER*>(
      std::malloc(static_cast<std::size_t>(blockBytes))));
  if (!block) return Fail(path, Message::kBitmapRowsOutOfMemory);
  std::memcpy(block.get(), &out, dib_layout::kInfoHeaderBytes);
  auto* bytes = reinterpret_cast<BYTE*>(block.get());
  if (paletteBytes != 0 && !ReadExactly(file.Get(), bytes + dib_layout::kInfoHeaderBytes, paletteBytes)) {
    return Fail(path, Message::kBitmapColorTableReadFailed);
  }
  if (offBits != 0 && SetFilePointer(file.Get(), static_cast<LONG>(offBits), nullptr,
                                     FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    return Fail(path, Message::kBitmapSeekFailed);
  }

  BYTE* rows = DibPixels(block.get());
  const std::size_t rowsLength = static_cast<std::size_t>(rowBytes);
  if (coding == RowCoding::kAsStored) {
    if (!ReadExactly(file.Get(), rows, static_cast<DWORD>(rowsLength))) {
      return Fail(path, Message::kBitmapReadFailed);
    }
    if (topDown) FlipRows(rows, static_cast<std::size_t>(rowBytes / height), out.biHeight);
    return block.release();
  }

  HeapPtr<BYTE> stored(static_cast<BYTE*>(std::malloc(static_cast<std::size_t>(storedBytes))));
  if (!stored) return Fail(path, Message::kBitmapOutOfMemory);
  if (!ReadExactly(file.Get(), stored.get(), static_cast<DWORD>(storedBytes))) {
    return Fail(path, Message::kBitmapReadFailed);
  }
  // Decoded rows are written pixel by pixel: their padding, and the pixels a
  // run-length stream skips, are zero.
  std::memset(rows, 0, rowsLength);
  if (coding == RowCoding::kBitFields) {
    if (!ExpandBitFields(stored.get(), static_cast<std::size_t>(storedBytes), header.biBitCount,
                         info.masks, out.biWidth, out.biHeight, topDown, rows, rowsLength)) {
      return Fail(path, Message::kBitmapReadFailed);
    }
    return block.release();
  }
  if (!DecodeRle(stored.get(), static_cast<std::size_t>(storedBytes), out.biBitCount, out.biWidth,
                 out.biHeight, rows, rowsLength)) {
    return Fail(path, Message::kBitmapReadFailed);
  }
  return block.release();
}

int SaveBitmapFile(const char* path, BITMAPINFOHEADER* imageBlock) {
  ReplacementFile file;
  if (!file.Create(path)) return FailWrite(path, Message::kBitmapCreateFailed);

  // The colour picture alone: half the stored rows, written from a copy of
  // the header so that the image itself is never changed.
  BITMAPINFOHEADER header = *imageBlock;
  header.biHeight = imageBlock->biHeight / 2;
  DWORD paletteBytes = DibPaletteBytes(imageBlock);
  // Sized in 64 bits: a header no bound image has must not wrap into a short
  // write of some other length.
  std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(header.biPlanes) * header.biBitCount;
  std::int64_t rows = DibStride64(header.biWidth, bitsPerPixel) * header.biHeight;
  if (!dib_layout::SidesFit(header.biWidth, header.biHeight) ||
      static_cast<std::uint64_t>(rows) > limits::kMaxBlockBytes) {
    return FailWrite(path, Message::kBitmapWriteFailed);
  }
  DWORD rowBytes = static_cast<DWORD>(rows);
  DWORD offBits = kFileHeaderBytes + dib_layout::kInfoHeaderBytes + paletteBytes;

  BYTE fileHeader[kFileHeaderBytes];
  PutU16(fileHeader, kBitmapSignature);
  PutU32(fileHeader + 2, offBits + rowBytes);
  PutU16(fileHeader + 6, 0);
  PutU16(fileHeader + 8, 0);
  PutU32(fileHeader + 10, offBits);
  if (!WriteExactly(file.Handle(), fileHeader, sizeof fileHeader)) {
    return FailWrite(path, Message::kBitmapHeaderWriteFailed);
  }
  const BYTE* tableAndRows = reinterpret_cast<const BYTE*>(imageBlock) + dib_layout::kInfoHeaderBytes;
  if (!WriteExactly(file.Handle(), &header, dib_layout::kInfoHeaderBytes) ||
      !WriteExactly(file.Handle(), tableAndRows, paletteBytes + rowBytes)) {
    return FailWrite(path, Message::kBitmapWriteFailed);
  }
  if (!file.Commit()) return FailWrite(path, Message::kBitmapWriteFailed);
  return 1;
}

int SaveImageAsBitmap(const char* path, const IconImage* image) {
  if (!IsPngImage(image)) return SaveBitmapFile(path, image->header);
  // A decoded PNG is a bottom-up DIB of the picture alone; the writer expects
  // a header that counts mask rows too, so its height is doubled for the call.
  HeapPtr<BITMAPINFOHEADER> picture(DecodePngToDib(image->bits, image->byteCount));
  if (!picture) return FailWrite(path, Message::kBitmapWriteFailed);
  picture->biHeight *= 2;
  return SaveBitmapFile(path, picture.get());
}
