#include <gtest/gtest.h>

#include "core/dib.h"
#include "tests/support/image_bytes.h"

namespace {

BITMAPINFOHEADER Header(std::int32_t width, std::uint16_t bitCount, std::uint32_t clrUsed,
                        std::uint16_t planes = 1, std::uint32_t size = 40) {
  BITMAPINFOHEADER h{};
  h.biSize = size;
  h.biWidth = width;
  h.biHeight = 1;
  h.biPlanes = planes;
  h.biBitCount = bitCount;
  h.biClrUsed = clrUsed;
  return h;
}

struct TableCase {
  std::uint16_t bitCount;
  std::uint32_t clrUsed;
  std::uint16_t colours;
  std::uint16_t tableBytes;
};

TEST(DibLayout, ColourTableFollowsClrUsedThenDepth) {
  const TableCase cases[] = {
      {1, 0, 2, 8},         {4, 0, 16, 64},        {8, 0, 256, 1024},   {8, 16, 16, 64},
      {24, 0, 0, 0},        {24, 256, 256, 1024},  {1, 300, 300, 1200}, {16, 0, 0, 0},
      {32, 0, 0, 0},        {0, 0, 0, 0},          {2, 0, 0, 0},        {8, 16384, 16384, 0},
      {8, 16383, 16383, 65532}, {8, 65536, 0, 0},  {8, 65537, 1, 4},    {4, 2, 2, 8},
      {8, 0xFFFFFFFF, 0xFFFF, 0xFFFC},
  };
  for (const TableCase& c : cases) {
    BITMAPINFOHEADER h = Header(1, c.bitCount, c.clrUsed);
    EXPECT_EQ(c.colours, DibColorCount(&h)) << "bits " << c.bitCount << " clrUsed " << c.clrUsed;
    EXPECT_EQ(c.tableBytes, DibPaletteBytes(&h)) << "bits " << c.bitCount << " clrUsed " << c.clrUsed;
  }
}

struct StrideCase {
  std::int32_t width;
  std::uint16_t bitCount;
  std::uint16_t planes;
  std::int32_t stride;
};

TEST(DibLayout, StrideRoundsBitsUpToWholeWords) {
  const StrideCase cases[] = {
      {1, 1, 1, 4},   {32, 4, 1, 16}, {3, 24, 1, 12}, {32, 32, 1, 128}, {0, 24, 1, 0},
      {33, 1, 1, 8},  {31, 1, 1, 4},  {5, 16, 1, 12}, {32, 4, 0, 0},    {32, 4, 2, 32},
      {256, 32, 1, 1024}, {1, 8, 1, 4}, {4, 8, 1, 4}, {5, 8, 1, 8},
  };
  for (const StrideCase& c : cases) {
    BITMAPINFOHEADER h = Header(c.width, c.bitCount, 0, c.planes);
    EXPECT_EQ(c.stride, DibStride(&h))
        << "width " << c.width << " bits " << c.bitCount << " planes " << c.planes;
  }
}

TEST(DibLayout, PixelsLieBehindHeaderAndTable) {
  struct Case {
    std::uint16_t bitCount;
    std::uint32_t clrUsed;
    std::uint32_t size;
    std::ptrdiff_t offset;
  } cases[] = {{24, 0, 40, 40}, {24, 256, 40, 1064}, {8, 0, 40, 1064}, {4, 0, 44, 108},
               {8, 16384, 40, 40}};
  for (const Case& c : cases) {
    BITMAPINFOHEADER h = Header(4, c.bitCount, c.clrUsed, 1, c.size);
    const BYTE* base = reinterpret_cast<const BYTE*>(&h);
    EXPECT_EQ(c.offset, DibPixels(&h) - base) << "bits " << c.bitCount << " clrUsed " << c.clrUsed;
  }
}

}  // namespace
