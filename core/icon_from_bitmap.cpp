#include "icon_from_bitmap.h"

#include <cstdlib>
#include <cstring>

#include "bitmap_file.h"
#include "dib.h"
#include "dib_reformat.h"
#include "platform/handles.h"
#include "formats/input_limits.h"
#include "messages.h"

int IconImageFromDib(IconImage* image, const BITMAPINFOHEADER* dib, BOOL stretch) {
  if (image == nullptr || dib == nullptr) return 0;
  if (image->bitsPerPixel < 0 || image->bitsPerPixel > 0xFFFF) return 0;
  const LONG width = image->width;
  const LONG height = image->height;
  HeapPtr<BITMAPINFOHEADER> converted(
      ReformatDib(dib, width, height, static_cast<WORD>(image->bitsPerPixel), stretch));
  if (!converted) return 0;

  // ReformatDib has checked width and height against the limits, so none of
  // these products can wrap.
  const std::uint64_t tableBytes = DibPaletteBytes(converted.get());
  const std::uint64_t colorRowBytes =
      static_cast<std::uint64_t>(DibStride(converted.get())) * height;
  const std::uint64_t maskRowBytes = static_cast<std::uint64_t>(DibStride64(width, 1)) * height;
  const std::uint64_t blockBytes =
      sizeof(BITMAPINFOHEADER) + tableBytes + colorRowBytes + maskRowBytes;
  if (blockBytes > limits::kMaxBlockBytes) return 0;

  HeapPtr<BYTE> block(static_cast<BYTE*>(std::malloc(static_cast<std::size_t>(blockBytes))));
  if (!block) return 0;
  const std::size_t headerAndTable =
      sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(tableBytes);
  std::memcpy(block.get(), converted.get(), headerAndTable);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.get());
  header->biHeight = 2 * height;
  BYTE* xorBits = block.get() + headerAndTable;
  std::memcpy(xorBits, DibPixels(converted.get()), static_cast<std::size_t>(colorRowBytes));
  BYTE* andBits = xorBits + colorRowBytes;
  std::memset(andBits, 0, static_cast<std::size_t>(maskRowBytes));
  // The mask leaves every pixel opaque, and so must the alpha channel of a
  // 32-bit image: Windows falls back to the mask when no pixel has alpha, but
  // other readers (icotool, ImageMagick, browsers) go by the alpha alone and
  // would show nothing. 32-bit rows have no padding: every fourth byte is
  // an alpha.
  if (header->biBitCount == 32) {
    for (std::size_t i = 3; i < colorRowBytes; i += 4) xorBits[i] = 0xFF;
  }

  if (!image->sharesBits) std::free(image->bits);
  image->sharesBits = false;
  image->bits = block.release();
  image->byteCount = static_cast<std::uint32_t>(blockBytes);
  image->header = header;
  image->xorBits = xorBits;
  image->andBits = andBits;
  return 1;
}

int IconImageFromBitmapFile(const char* path, IconImage* image, BOOL stretch) {
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path));
  if (!dib) return 0;
  if (IconImageFromDib(image, dib.get(), stretch)) return 1;
  ShowMessage(Message::kBitmapNotConvertible, path);
  return 0;
}

bool ReadBitmapIntoGroup(IconGroup* group, bool startingGroup, const char* path) {
  if (group == nullptr) return false;
  if (group->imageCount == 0 && !startingGroup) return false;
  UnshareImage(group, 0);
  if (!IconImageFromBitmapFile(path, GroupImage(group, 0), TRUE)) return false;
  if (group->imageCount == 0) group->imageCount = 1;
  return true;
}
