#include "dib_fixtures.h"

#include <cstring>
#include <sstream>

#include "core/dib.h"

std::string Describe(const DibShape& shape) {
  std::ostringstream text;
  text << shape.width << "x" << shape.height << " at " << shape.bitCount << " bits";
  if (shape.clrUsed) text << " clrUsed " << shape.clrUsed;
  if (shape.compression) text << " compression " << shape.compression;
  return text.str();
}

std::string Describe(const Color& color) {
  std::ostringstream text;
  text << "(" << int(color.red) << "," << int(color.green) << "," << int(color.blue) << ")";
  return text.str();
}

std::uint32_t TestRandom::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

namespace {

Block EmptyDib(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
               std::uint32_t clrUsed, std::uint32_t compression) {
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biClrUsed = clrUsed;
  header.biCompression = compression;
  std::size_t bytes = 40 + DibPaletteBytes(&header) + std::size_t(DibStride(&header)) * height;
  Block block(bytes, 0);
  std::memcpy(block.data(), &header, sizeof header);
  return block;
}

void PutPixel(BITMAPINFOHEADER* dib, std::int32_t x, std::int32_t y, std::uint32_t value) {
  BYTE* row = DibPixels(dib) + std::size_t(dib->biHeight - 1 - y) * DibStride(dib);
  switch (dib->biBitCount) {
    case 1:
      row[x / 8] = BYTE((row[x / 8] & ~(0x80 >> (x % 8))) | ((value & 1) << (7 - x % 8)));
      break;
    case 4:
      row[x / 2] = BYTE(x % 2 ? (row[x / 2] & 0xF0) | (value & 15)
                              : (row[x / 2] & 0x0F) | (value & 15) << 4);
      break;
    default:
      for (int i = 0; i < dib->biBitCount / 8; ++i)
        row[x * (dib->biBitCount / 8) + i] = BYTE(value >> (8 * i));
  }
}

}  // namespace

Block MakeDib(const DibShape& shape, std::uint32_t seed, bool anyIndex) {
  Block block =
      EmptyDib(shape.width, shape.height, shape.bitCount, shape.clrUsed, shape.compression);
  BITMAPINFOHEADER* dib = HeaderOf(block);
  TestRandom random(seed);
  for (std::size_t i = 40; i < block.size(); ++i) block[i] = BYTE(random.Next() >> 24);
  if (shape.bitCount <= 8 && !anyIndex) {
    unsigned held = DibPaletteBytes(dib) / 4;
    unsigned full = 1u << shape.bitCount;
    unsigned limit = held < full ? held : full;
    for (std::int32_t y = 0; y < shape.height; ++y) {
      for (std::int32_t x = 0; x < shape.width; ++x) {
        PutPixel(dib, x, y, limit ? random.Next() % limit : 0);
      }
    }
  }
  return block;
}

Block MakePlaceDib(std::int32_t width, std::int32_t height, std::uint16_t bitCount) {
  Block block = EmptyDib(width, height, bitCount, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t blue = (x / 256) * 16 + y / 256;
      PutPixel(HeaderOf(block), x, y,
               std::uint32_t(x % 256) << 16 | std::uint32_t(y % 256) << 8 | blue);
    }
  }
  return block;
}

std::uint32_t PixelValue(const BITMAPINFOHEADER* dib, std::int32_t x, std::int32_t y) {
  const BYTE* row = DibPixels(dib) + std::size_t(dib->biHeight - 1 - y) * DibStride(dib);
  switch (dib->biBitCount) {
    case 1:
      return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
      return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    case 8:
      return row[x];
    case 16:
      return row[2 * x] | row[2 * x + 1] << 8;
    case 24:
      return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    default:
      return row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
             std::uint32_t(row[4 * x + 3]) << 24;
  }
}

Color PixelColor(const BITMAPINFOHEADER* dib, std::int32_t x, std::int32_t y,
                 unsigned tableEntries) {
  std::uint32_t value = PixelValue(dib, x, y);
  if (dib->biBitCount <= 8) {
    if (value >= tableEntries) return Color{0, 0, 0};
    const BYTE* entry = reinterpret_cast<const BYTE*>(dib) + 40 + 4 * value;
    return Color{entry[2], entry[1], entry[0]};
  }
  if (dib->biBitCount == 16) {
    auto expand = [](std::uint32_t five) { return std::uint8_t(five << 3 | five >> 2); };
    return Color{expand(value >> 10 & 31), expand(value >> 5 & 31), expand(value & 31)};
  }
  return Color{std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}
