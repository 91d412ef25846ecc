#include "bitmap_file.h"

#include <climits>
#include <cstring>

#include "formats/byte_cursor.h"
#include "dib.h"
#include "formats/little_endian.h"
#include "file_io.h"
#include "messages.h"
#include "platform/handles.h"
#include "formats/input_limits.h"
#include "png_image.h"
#include "replacement_file.h"

namespace {

constexpr WORD kBitmapSignature = 19778;  // "BM"
constexpr DWORD kFileHeaderBytes = 14;
constexpr DWORD kInfoHeaderBytes = 40;

BITMAPINFOHEADER* Fail(const char* path, Message message) {
  ShowMessage(message, path);
  return nullptr;
}

int FailWrite(const char* path, Message message) {
  ShowMessage(message, path);
  return 0;
}

// Row bytes of a bottom-up picture, or -1 when the header can't size a block:
// a width or height of zero or below (top-down files among them), beyond the
// largest dimension accepted, or rows beyond the largest block.
std::int64_t RowBytes(const BITMAPINFOHEADER& header) {
  if (header.biWidth < 1 || header.biHeight < 1 || header.biWidth > limits::kMaxDimension ||
      header.biHeight > limits::kMaxDimension) {
    return -1;
  }
  std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(header.biPlanes) * header.biBitCount;
  return DibStride64(header.biWidth, bitsPerPixel) * header.biHeight;
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

  HeapPtr<BITMAPINFOHEADER> block(static_cast<BITMAPINFOHEADER*>(std::malloc(44)));
  if (!block) return Fail(path, Message::kBitmapOutOfMemory);
  if (!ReadExactly(file.Get(), block.get(), kInfoHeaderBytes)) {
    return Fail(path, Message::kBitmapInfoReadFailed);
  }
  if (block->biSize != kInfoHeaderBytes) return Fail(path, Message::kBitmapOs2Header);

  std::int64_t rowBytes = RowBytes(*block);
  if (rowBytes < 0) return Fail(path, Message::kBitmapUnknownFormat);
  DWORD paletteBytes = DibPaletteBytes(block.get());
  std::uint64_t blockBytes = kInfoHeaderBytes + std::uint64_t{paletteBytes} + rowBytes;
  if (blockBytes > limits::kMaxBlockBytes) return Fail(path, Message::kBitmapRowsOutOfMemory);

  // Sizes the file can't hold are refused with the message their short read
  // would give, before a block is sized from them.
  std::uint64_t fileLength = 0;
  bool lengthKnown = FileLength(file.Get(), &fileLength);
  std::uint64_t tableEnd = kFileHeaderBytes + kInfoHeaderBytes + std::uint64_t{paletteBytes};
  if (lengthKnown && tableEnd > fileLength) return Fail(path, Message::kBitmapColorTableReadFailed);
  if (offBits > static_cast<std::uint32_t>(INT32_MAX)) return Fail(path, Message::kBitmapSeekFailed);
  std::uint64_t rowsStart = offBits != 0 ? offBits : tableEnd;
  if (lengthKnown && rowsStart + static_cast<std::uint64_t>(rowBytes) > fileLength) {
    return Fail(path, Message::kBitmapReadFailed);
  }

  void* resized = std::realloc(block.get(), static_cast<std::size_t>(blockBytes));
  if (resized == nullptr) return Fail(path, Message::kBitmapRowsOutOfMemory);
  block.release();
  block.reset(static_cast<BITMAPINFOHEADER*>(resized));

  auto* bytes = reinterpret_cast<BYTE*>(block.get());
  if (paletteBytes != 0 && !ReadExactly(file.Get(), bytes + kInfoHeaderBytes, paletteBytes)) {
    return Fail(path, Message::kBitmapColorTableReadFailed);
  }
  if (offBits != 0 && SetFilePointer(file.Get(), static_cast<LONG>(offBits), nullptr,
                                     FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    return Fail(path, Message::kBitmapSeekFailed);
  }
  if (!ReadExactly(file.Get(), DibPixels(block.get()), static_cast<DWORD>(rowBytes))) {
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
  if (header.biWidth < 1 || header.biHeight < 1 || header.biWidth > limits::kMaxDimension ||
      header.biHeight > limits::kMaxDimension || static_cast<std::uint64_t>(rows) > limits::kMaxBlockBytes) {
    return FailWrite(path, Message::kBitmapWriteFailed);
  }
  DWORD rowBytes = static_cast<DWORD>(rows);
  DWORD offBits = kFileHeaderBytes + kInfoHeaderBytes + paletteBytes;

  BYTE fileHeader[kFileHeaderBytes];
  PutU16(fileHeader, kBitmapSignature);
  PutU32(fileHeader + 2, offBits + rowBytes);
  PutU16(fileHeader + 6, 0);
  PutU16(fileHeader + 8, 0);
  PutU32(fileHeader + 10, offBits);
  if (!WriteExactly(file.Handle(), fileHeader, sizeof fileHeader)) {
    return FailWrite(path, Message::kBitmapHeaderWriteFailed);
  }
  const BYTE* tableAndRows = reinterpret_cast<const BYTE*>(imageBlock) + kInfoHeaderBytes;
  if (!WriteExactly(file.Handle(), &header, kInfoHeaderBytes) ||
      !WriteExactly(file.Handle(), tableAndRows, paletteBytes + rowBytes)) {
    return FailWrite(path, Message::kBitmapWriteFailed);
  }
  if (!file.Commit()) return FailWrite(path, Message::kBitmapCreateFailed);
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
