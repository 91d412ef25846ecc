#include <cstdint>

#include "bitmap_file.h"
#include "codecs/png_dib.h"
#include "dib.h"
#include "file_io.h"
#include "formats/bitmap_file_header.h"
#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "formats/little_endian.h"
#include "messages.h"
#include "platform/handles.h"
#include "replacement_file.h"

namespace {

int FailWrite(const char* path, Message message) {
  ShowMessage(message, path);
  return 0;
}

}  // namespace

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
  DWORD offBits = bitmap_file::kHeaderBytes + dib_layout::kInfoHeaderBytes + paletteBytes;

  BYTE fileHeader[bitmap_file::kHeaderBytes];
  PutU16(fileHeader, bitmap_file::kSignature);
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
  std::uint8_t* decoded = nullptr;
  const DecodeOutcome outcome = DecodePngToDib(image->bits, image->byteCount, &decoded);
  HeapPtr<BITMAPINFOHEADER> picture(reinterpret_cast<BITMAPINFOHEADER*>(decoded));
  if (outcome != DecodeOutcome::kDecoded) {
    return FailWrite(path,
                     outcome == DecodeOutcome::kUndecodable ? Message::kImageUndecodable : Message::kOverMemoryBudget);
  }
  picture->biHeight *= 2;
  return SaveBitmapFile(path, picture.get());
}
