#include "dib.h"

std::uint16_t DibColorCount(const BITMAPINFOHEADER* header) {
  if (header->biClrUsed != 0) return static_cast<std::uint16_t>(header->biClrUsed);
  switch (header->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

std::uint16_t DibPaletteBytes(const BITMAPINFOHEADER* header) {
  return static_cast<std::uint16_t>(4u * DibColorCount(header));
}

std::int64_t DibStride64(std::int64_t width, std::uint32_t bitsPerPixel) {
  std::int64_t bits = width * static_cast<std::int64_t>(bitsPerPixel);
  return ((bits + 31) >> 3) & ~std::int64_t{3};
}

std::int32_t DibStride(const BITMAPINFOHEADER* header) {
  // The product is taken in 64 bits so that huge widths wrap instead of
  // overflowing; such headers are refused before anything trusts the value.
  std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(header->biPlanes) * header->biBitCount;
  return static_cast<std::int32_t>(DibStride64(header->biWidth, bitsPerPixel));
}

const BYTE* DibPixels(const BITMAPINFOHEADER* header) {
  return reinterpret_cast<const BYTE*>(header) + header->biSize + DibPaletteBytes(header);
}

BYTE* DibPixels(BITMAPINFOHEADER* header) {
  return reinterpret_cast<BYTE*>(header) + header->biSize + DibPaletteBytes(header);
}
