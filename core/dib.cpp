#include "dib.h"

#include "formats/dib_layout.h"

std::uint16_t DibColorCount(const BITMAPINFOHEADER* header) {
  return dib_layout::ColorCount(header->biBitCount, header->biClrUsed);
}

std::uint16_t DibPaletteBytes(const BITMAPINFOHEADER* header) {
  return dib_layout::ColorTableBytes(header->biBitCount, header->biClrUsed);
}

std::int64_t DibStride64(std::int64_t width, std::uint32_t bitsPerPixel) {
  return dib_layout::RowBytes(width, bitsPerPixel);
}

std::int32_t DibStride(const BITMAPINFOHEADER* header) {
  // Huge widths wrap here instead of overflowing; such headers are refused
  // before anything trusts the value.
  std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(header->biPlanes) * header->biBitCount;
  return static_cast<std::int32_t>(dib_layout::RowBytes(header->biWidth, bitsPerPixel));
}

const BYTE* DibPixels(const BITMAPINFOHEADER* header) {
  return reinterpret_cast<const BYTE*>(header) + header->biSize + DibPaletteBytes(header);
}

BYTE* DibPixels(BITMAPINFOHEADER* header) {
  return reinterpret_cast<BYTE*>(header) + header->biSize + DibPaletteBytes(header);
}
