#include "core/dib_reformat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/dib.h"
#include "platform/handles.h"
#include "formats/input_limits.h"
#include "core/platform_palettes.h"
#include "tests/support/dib_fixtures.h"

namespace {

using Result = HeapPtr<BITMAPINFOHEADER>;

// A copy of the block on the heap of exactly its size, so that a read past
// its end shows under AddressSanitizer.
struct ExactBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size;
  explicit ExactBlock(const Block& block)
      : bytes(new std::uint8_t[block.size()]), size(block.size()) {
    std::memcpy(bytes.get(), block.data(), block.size());
  }
  BITMAPINFOHEADER* header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.get()); }
};

Result Reformat(const Block& source, LONG width, LONG height, WORD bits, bool stretch) {
  ExactBlock exact(source);
  return Result(ReformatDibBlock(exact.header(), exact.size, width, height, bits, stretch));
}

RGBQUAD TableEntry(const BITMAPINFOHEADER* dib, unsigned index) {
  RGBQUAD entry;
  std::memcpy(&entry, reinterpret_cast<const BYTE*>(dib) + 40 + 4 * index, 4);
  return entry;
}

void SetTableEntry(Block& block, unsigned index, BYTE red, BYTE green, BYTE blue) {
  block.at(40 + 4 * index) = blue;
  block.at(40 + 4 * index + 1) = green;
  block.at(40 + 4 * index + 2) = red;
  block.at(40 + 4 * index + 3) = 0;
}

void SetPixel(Block& block, LONG x, LONG y, std::uint32_t value) {
  BITMAPINFOHEADER* dib = HeaderOf(block);
  BYTE* row = DibPixels(dib) + std::size_t(dib->biHeight - 1 - y) * DibStride(dib);
  switch (dib->biBitCount) {
    case 1:
      row[x / 8] = BYTE((row[x / 8] & ~(0x80 >> x % 8)) | (value & 1) << (7 - x % 8));
      break;
    case 4:
      row[x / 2] = BYTE(x % 2 ? (row[x / 2] & 0xF0) | value : (row[x / 2] & 0x0F) | value << 4);
      break;
    default:
      for (int i = 0; i < dib->biBitCount / 8; ++i)
        row[x * dib->biBitCount / 8 + i] = BYTE(value >> 8 * i);
  }
}

Block Filled(LONG width, LONG height, WORD bits, std::uint32_t value, std::uint32_t clrUsed = 0) {
  Block block = MakeDib({width, height, bits, clrUsed}, 7);
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) SetPixel(block, x, y, value);
  return block;
}

unsigned Full(WORD bits) { return bits <= 8 ? 1u << bits : 0; }

TEST(ReformatDib, BuildsTheTargetHeaderAndPutsRowsBehindItsTable) {
  Block source = MakeDib({40, 30, 24}, 1);
  const struct {
    WORD bits;
    std::ptrdiff_t rowsAt;
  } cases[] = {{1, 48}, {4, 104}, {8, 1064}, {16, 40}, {24, 40}, {32, 40}};
  for (const auto& c : cases) {
    Result result = Reformat(source, 32, 32, c.bits, true);
    ASSERT_TRUE(result) << c.bits;
    const BITMAPINFOHEADER& h = *result;
    EXPECT_EQ(40u, h.biSize);
    EXPECT_EQ(32, h.biWidth);
    EXPECT_EQ(32, h.biHeight);
    EXPECT_EQ(1, h.biPlanes);
    EXPECT_EQ(c.bits, h.biBitCount);
    EXPECT_EQ(0u, h.biCompression | h.biSizeImage | h.biClrUsed | h.biClrImportant);
    EXPECT_EQ(0, h.biXPelsPerMeter | h.biYPelsPerMeter);
    EXPECT_EQ(c.rowsAt, DibPixels(result.get()) - reinterpret_cast<BYTE*>(result.get())) << c.bits;
  }
}

TEST(ReformatDib, SameSizeAndDepthKeepsEveryIndexAndTheTable) {
  for (WORD bits : {4, 8}) {
    Block source = MakeDib({13, 7, bits}, 3);
    Result result = Reformat(source, 13, 7, bits, true);
    ASSERT_TRUE(result);
    EXPECT_EQ(0, std::memcmp(source.data() + 40, reinterpret_cast<BYTE*>(result.get()) + 40,
                             4 * Full(bits)));
    for (LONG y = 0; y < 7; ++y)
      for (LONG x = 0; x < 13; ++x)
        ASSERT_EQ(PixelValue(HeaderOf(source), x, y), PixelValue(result.get(), x, y))
            << bits << " " << x << "," << y;
  }
}

TEST(ReformatDib, TruecolourPicturesKeepTheirColours) {
  const WORD depths[] = {16, 24, 32};
  for (WORD from : depths) {
    Block source = MakeDib({9, 4, from}, 5);
    for (WORD to : {24, 32}) {
      Result result = Reformat(source, 9, 4, to, false);
      ASSERT_TRUE(result);
      for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 9; ++x)
          ASSERT_EQ(PixelColor(HeaderOf(source), x, y, 0), PixelColor(result.get(), x, y, 0))
              << from << " to " << to << " at " << x << "," << y;
    }
  }
}

TEST(ReformatDib, PixelFormatsOfEachDepth) {
  struct Case {
    WORD from;
    std::uint32_t value;
    WORD to;
    std::uint32_t expected;
  } cases[] = {
      {16, 0x7FFF, 24, 0xFFFFFF},  // 5 bits widen by repeating their top bits
      {16, 0x0421, 24, 0x080808},
      {16, 0x8000, 24, 0x000000},  // the top bit is no colour
      {16, 0x7C00, 32, 0x00FF0000},
      {24, 0xFF8007, 16, 0x7E00},        // red 255, green 128, blue 7: cut to 5 bits each
      {32, 0xFF102030, 32, 0x00102030},  // the fourth byte is written 0
      {32, 0xAA102030, 24, 0x102030},
      {16, 0xFFFF, 16, 0x7FFF},
      {24, 0xFFFFFF, 1, 1},
      {24, 0x7F7F7F, 1, 0},  // nearer to black
      {24, 0x808080, 1, 1},
      {24, 0xFFFFFF, 4, 10},  // white: the nearest of the default palette is cream
      {24, 0x0000FF, 4, 4},   // pure blue: navy
      {24, 0xD06040, 8, 95},  // cut to 5 bits first: (212,100,68) is nearer (224,96,64)
      {24, 0xC06040, 8, 94},
      {32, 0xFFFFFFFF, 8, 255},
  };
  for (const Case& c : cases) {
    Block source = Filled(3, 2, c.from, c.value);
    Result result = Reformat(source, 3, 2, c.to, false);
    ASSERT_TRUE(result);
    for (LONG y = 0; y < 2; ++y)
      for (LONG x = 0; x < 3; ++x)
        EXPECT_EQ(c.expected, PixelValue(result.get(), x, y))
            << std::hex << c.value << " at " << std::dec << c.from << " bits to " << c.to
            << " bits";
  }
}

TEST(ReformatDib, IndexesPastTheSourceTableAreBlack) {
  // Two entries (red, green) that the pixels run past.
  Block source = Filled(4, 1, 8, 0, 2);
  SetTableEntry(source, 0, 255, 0, 0);
  SetTableEntry(source, 1, 0, 255, 0);
  SetPixel(source, 1, 0, 1);
  SetPixel(source, 2, 0, 2);
  SetPixel(source, 3, 0, 255);
  Result result = Reformat(source, 4, 1, 24, false);
  ASSERT_TRUE(result);
  EXPECT_EQ(0xFF0000u, PixelValue(result.get(), 0, 0));
  EXPECT_EQ(0x00FF00u, PixelValue(result.get(), 1, 0));
  EXPECT_EQ(0u, PixelValue(result.get(), 2, 0));
  EXPECT_EQ(0u, PixelValue(result.get(), 3, 0));
}

TEST(ReformatDib, OneBitTargetIsBlackAndWhiteWhateverTheSourceTable) {
  Block source = Filled(8, 2, 1, 0);
  SetTableEntry(source, 0, 250, 250, 250);  // index 0 light, 1 dark
  SetTableEntry(source, 1, 10, 10, 10);
  SetPixel(source, 3, 0, 1);
  Result result = Reformat(source, 8, 2, 1, false);
  ASSERT_TRUE(result);
  EXPECT_EQ(0u, TableEntry(result.get(), 0).rgbRed | TableEntry(result.get(), 0).rgbGreen);
  EXPECT_EQ(255, TableEntry(result.get(), 1).rgbBlue);
  for (LONG x = 0; x < 8; ++x) {
    EXPECT_EQ(x == 3 ? 0u : 1u, PixelValue(result.get(), x, 0)) << x;
    EXPECT_EQ(1u, PixelValue(result.get(), x, 1)) << x;
  }
}

TEST(ReformatDib, StretchDropsEveryOtherRowAndColumn) {
  // As GDI does it: the even rows and the odd columns as displayed stay.
  Block source = MakePlaceDib(64, 64, 24);
  Result result = Reformat(source, 32, 32, 24, true);
  ASSERT_TRUE(result);
  for (LONG y = 0; y < 32; ++y)
    for (LONG x = 0; x < 32; ++x)
      ASSERT_EQ(PixelValue(HeaderOf(source), 2 * x + 1, 2 * y), PixelValue(result.get(), x, y))
          << x << "," << y;
}

TEST(ReformatDib, WithoutStretchCropsAndPadsFromTheTopLeftCorner) {
  struct Case {
    LONG sourceWidth, sourceHeight, width, height;
  } cases[] = {
      {64, 64, 32, 32}, {16, 16, 32, 32}, {20, 10, 20, 14}, {20, 10, 20, 6}, {5, 9, 3, 12}};
  for (const Case& c : cases) {
    for (WORD bits : {8, 24}) {
      Block source = bits == 24 ? MakePlaceDib(c.sourceWidth, c.sourceHeight, 24)
                                : MakeDib({c.sourceWidth, c.sourceHeight, 8}, 9);
      Result result = Reformat(source, c.width, c.height, bits, false);
      ASSERT_TRUE(result);
      for (LONG y = 0; y < c.height; ++y) {
        for (LONG x = 0; x < c.width; ++x) {
          bool inside = x < c.sourceWidth && y < c.sourceHeight;
          std::uint32_t expected = inside ? PixelValue(HeaderOf(source), x, y) : 0;
          ASSERT_EQ(expected, PixelValue(result.get(), x, y))
              << c.sourceWidth << "x" << c.sourceHeight << " to " << c.width << "x" << c.height
              << " at " << bits << " bits, pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(ReformatDib, RowPaddingIsZero) {
  Block source = MakeDib({3, 3, 24}, 11);
  for (WORD bits : {1, 4, 8, 16, 24}) {
    Result result = Reformat(source, 3, 3, bits, false);
    ASSERT_TRUE(result);
    LONG stride = DibStride(result.get());
    std::size_t used = (3 * bits + 7) / 8;
    for (LONG row = 0; row < 3; ++row) {
      const BYTE* rowStart = DibPixels(result.get()) + row * stride;
      for (LONG i = LONG(used); i < stride; ++i)
        EXPECT_EQ(0, rowStart[i]) << bits << " row " << row;
      if (bits < 8) {
        EXPECT_EQ(0, rowStart[used - 1] & (0xFF >> ((3 * bits) % 8))) << bits;
      }
    }
  }
}

TEST(ReformatDib, LeavesTheSourceAsItWas) {
  Block source = MakeDib({30, 20, 8, 100}, 13);
  Block before = source;
  ExactBlock exact(source);
  for (WORD bits : {1, 4, 8, 16, 24, 32}) {
    Result result(ReformatDibBlock(exact.header(), exact.size, 10, 40, bits, true));
    ASSERT_TRUE(result);
  }
  EXPECT_EQ(0, std::memcmp(before.data(), exact.bytes.get(), before.size()));
}

struct RefusedSource {
  const char* what;
  void (*change)(BITMAPINFOHEADER&);
};

TEST(ReformatDib, RefusesSourcesItCannotSize) {
  const RefusedSource cases[] = {
      {"biSize 39", [](BITMAPINFOHEADER& h) { h.biSize = 39; }},
      {"biSize 41", [](BITMAPINFOHEADER& h) { h.biSize = 41; }},
      {"biSize 124", [](BITMAPINFOHEADER& h) { h.biSize = 124; }},
      {"width 0", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"width -1", [](BITMAPINFOHEADER& h) { h.biWidth = -1; }},
      {"width INT_MIN", [](BITMAPINFOHEADER& h) { h.biWidth = INT32_MIN; }},
      {"rows past the largest block", [](BITMAPINFOHEADER& h) { h.biWidth = INT32_MAX; }},
      {"height 0", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"height -4 (top-down)", [](BITMAPINFOHEADER& h) { h.biHeight = -4; }},
      {"height past the largest block", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MAX; }},
      {"planes 0", [](BITMAPINFOHEADER& h) { h.biPlanes = 0; }},
      {"planes 2", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
      {"bit count 0", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
      {"bit count 2", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }},
      {"bit count 15", [](BITMAPINFOHEADER& h) { h.biBitCount = 15; }},
      {"bit count 64", [](BITMAPINFOHEADER& h) { h.biBitCount = 64; }},
      {"RLE8", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
      {"RLE4", [](BITMAPINFOHEADER& h) { h.biCompression = 2; }},
      {"JPEG", [](BITMAPINFOHEADER& h) { h.biCompression = 4; }},
      {"bit fields at 8 bits", [](BITMAPINFOHEADER& h) { h.biCompression = 3; }},
      // 5-6-5 would come out as 5-5-5: mid grey as dark blue.
      {"bit fields at 16 bits",
       [](BITMAPINFOHEADER& h) {
         h.biCompression = 3;
         h.biBitCount = 16;
       }},
      {"bit fields at 32 bits",
       [](BITMAPINFOHEADER& h) {
         h.biCompression = 3;
         h.biBitCount = 32;
       }},
      {"32768 x 32768 at 32 bits",
       [](BITMAPINFOHEADER& h) {
         h.biWidth = h.biHeight = 32768;
         h.biBitCount = 32;
       }},
  };
  Block good = MakeDib({4, 4, 8}, 17);
  ExactBlock baseline(good);
  Result accepted(ReformatDibBlock(baseline.header(), baseline.size, 4, 4, 8, true));
  EXPECT_TRUE(accepted);
  for (const RefusedSource& c : cases) {
    Block block = good;
    c.change(*HeaderOf(block));
    ExactBlock exact(block);
    EXPECT_EQ(nullptr, ReformatDibBlock(exact.header(), exact.size, 4, 4, 24, true)) << c.what;
    EXPECT_EQ(-1, ConvertibleDibBytes(exact.header())) << c.what;
  }
  EXPECT_EQ(nullptr, ReformatDib(nullptr, 4, 4, 24, true));
}

TEST(ReformatDib, RefusesTargetsOutsideTheLimits) {
  Block source = MakeDib({4, 4, 24}, 23);
  const struct {
    LONG width, height;
    WORD bits;
    bool accepted;
  } cases[] = {
      {1, 1, 1, true},         {0, 4, 24, false},        {4, 0, 24, false},
      {-1, 4, 24, false},      {4, -1, 24, false},       {4, 4, 0, false},
      {4, 4, 2, false},        {4, 4, 15, false},        {4, 4, 33, false},
      {32768, 1, 32, true},    {32769, 1, 32, false},    {1, 32769, 32, false},
      {32768, 32768, 1, true}, {32768, 32768, 8, false},  // a block past the largest
  };
  for (const auto& c : cases) {
    Result result = Reformat(source, c.width, c.height, c.bits, true);
    EXPECT_EQ(c.accepted, result != nullptr) << c.width << "x" << c.height << " at " << c.bits;
  }
}

TEST(ReformatDibBlock, RefusesABlockShorterThanItsHeaderSays) {
  for (DibShape shape :
       {DibShape{7, 3, 1}, DibShape{7, 3, 8, 5}, DibShape{7, 3, 24}, DibShape{7, 3, 24, 300}}) {
    Block block = MakeDib(shape, 29);
    ExactBlock exact(block);
    EXPECT_EQ(std::int64_t(block.size()), ConvertibleDibBytes(exact.header())) << Describe(shape);
    Result whole(ReformatDibBlock(exact.header(), exact.size, 7, 3, 24, false));
    EXPECT_TRUE(whole) << Describe(shape);
    Result shortBlock(ReformatDibBlock(exact.header(), exact.size - 1, 7, 3, 24, false));
    EXPECT_FALSE(shortBlock) << Describe(shape);
  }
  EXPECT_EQ(nullptr, ReformatDibBlock(nullptr, 100, 4, 4, 24, true));
}

TEST(ReformatDibBlock, SurvivesHeadersAndTablesFromAnywhere) {
  // Headers of every kind over random bytes, to every depth, stretched and
  // not: a result or null, never a read or write outside the blocks.
  const std::uint32_t clrUsed[] = {0,   1,   2,     15,    16,    17,        255,
                                   256, 257, 16384, 16385, 65536, 0xFFFFFFFF};
  const WORD depths[] = {0, 1, 2, 4, 8, 16, 24, 32, 48};
  TestRandom random(31);
  for (int round = 0; round < 1500; ++round) {
    BITMAPINFOHEADER header{};
    header.biSize = random.Next() % 8 ? 40 : random.Next() % 128;
    header.biWidth = std::int32_t(random.Next() % 9) - 1;
    header.biHeight = std::int32_t(random.Next() % 9) - 1;
    header.biPlanes = WORD(random.Next() % 8 ? 1 : random.Next() % 3);
    header.biBitCount = depths[random.Next() % 9];
    header.biCompression = random.Next() % 6 ? 0 : random.Next() % 5;
    header.biClrUsed = clrUsed[random.Next() % 13];
    std::size_t size = 40 + random.Next() % 1400;
    Block block(size);
    for (std::size_t i = 40; i < size; ++i) block[i] = BYTE(random.Next());
    std::memcpy(block.data(), &header, 40);
    ExactBlock exact(block);
    LONG width = LONG(random.Next() % 12) - 1;
    LONG height = LONG(random.Next() % 12) - 1;
    WORD bits = depths[random.Next() % 9];
    Result result(
        ReformatDibBlock(exact.header(), exact.size, width, height, bits, random.Next() % 2));
    if (result) {
      EXPECT_EQ(width, result->biWidth);
      EXPECT_EQ(bits, result->biBitCount);
    }
  }
}

TEST(FillColorTable, TablesByTargetDepth) {
  RGBQUAD defaults[kDefaultPaletteColors];
  RGBQUAD halftone[kHalftonePaletteColors];
  ASSERT_EQ(1, GetDefaultPaletteColors(defaults));
  ASSERT_EQ(1, GetHalftonePaletteColors(halftone));

  Block target(kReformatHeaderBlockBytes, 0xAB);
  auto fill = [&](WORD targetBits, const Block* source) {
    std::fill(target.begin(), target.end(), BYTE(0xAB));
    HeaderOf(target)->biBitCount = targetBits;
    if (source == nullptr) return FillColorTable(HeaderOf(target), nullptr);
    ExactBlock exact(*source);
    return FillColorTable(HeaderOf(target), exact.header());
  };
  auto table = [&](unsigned i) { return TableEntry(HeaderOf(target), i); };
  auto same = [](const RGBQUAD& a, const RGBQUAD& b) { return std::memcmp(&a, &b, 4) == 0; };

  const Block source1 = MakeDib({2, 2, 1}, 41);
  const Block source4 = MakeDib({2, 2, 4}, 43);
  const Block source8 = MakeDib({2, 2, 8}, 47);
  const Block source24 = MakeDib({2, 2, 24}, 53);

  for (const Block* source : {&source1, &source4, &source24, static_cast<const Block*>(nullptr)}) {
    ASSERT_EQ(1, fill(1, source));
    EXPECT_TRUE(same(RGBQUAD{0, 0, 0, 0}, table(0)));
    EXPECT_TRUE(same(RGBQUAD{255, 255, 255, 0}, table(1)));
    EXPECT_EQ(0xAB, target[48]);
  }

  ASSERT_EQ(1, fill(4, &source4));
  for (unsigned i = 0; i < 16; ++i)
    EXPECT_TRUE(same(TableEntry(HeaderOf(source4), i), table(i))) << i;
  for (const Block* source : {&source1, &source8, &source24, static_cast<const Block*>(nullptr)}) {
    ASSERT_EQ(1, fill(4, source));
    for (unsigned i = 0; i < 16; ++i) EXPECT_TRUE(same(defaults[i], table(i))) << i;
    EXPECT_EQ(0xAB, target[104]);
  }
  // The default palette's first 16: money green at 8, cream at 10, no white.
  EXPECT_TRUE(same(RGBQUAD{192, 220, 192, 0}, defaults[8]));
  EXPECT_TRUE(same(RGBQUAD{240, 251, 255, 0}, defaults[10]));
  for (const RGBQUAD& entry : defaults)
    EXPECT_FALSE(entry.rgbRed == 255 && entry.rgbGreen == 255 && entry.rgbBlue == 255);

  ASSERT_EQ(1, fill(8, &source8));
  for (unsigned i = 0; i < 256; ++i)
    EXPECT_TRUE(same(TableEntry(HeaderOf(source8), i), table(i))) << i;
  for (const Block* source : {&source1, &source4, &source24}) {
    ASSERT_EQ(1, fill(8, source));
    for (unsigned i = 0; i < 256; ++i) EXPECT_TRUE(same(halftone[i], table(i))) << i;
  }

  for (WORD bits : {16, 24, 32}) {
    ASSERT_EQ(1, fill(bits, &source8));
    for (std::size_t i = 40; i < target.size(); ++i) ASSERT_EQ(0xAB, target[i]) << bits;
  }
}

TEST(FillColorTable, EntriesTheSourceDoesNotHoldAreZero) {
  // Sources whose blocks end right behind a short table and one row: a read
  // past them shows under AddressSanitizer.
  const struct {
    WORD bits;
    std::uint32_t clrUsed;
    unsigned held;
  } cases[] = {{4, 1, 1},     {4, 3, 3},     {4, 16, 16},   {4, 40, 16},   {8, 2, 2},
               {8, 255, 255}, {8, 16384, 0}, {8, 16385, 1}, {8, 65537, 1}, {4, 16384, 0}};
  for (const auto& c : cases) {
    Block source = MakeDib({1, 1, c.bits, c.clrUsed}, 59);
    ExactBlock exact(source);
    Block target(kReformatHeaderBlockBytes, 0xAB);
    HeaderOf(target)->biBitCount = c.bits;
    ASSERT_EQ(1, FillColorTable(HeaderOf(target), exact.header()));
    for (unsigned i = 0; i < Full(c.bits); ++i) {
      RGBQUAD expected = i < c.held ? TableEntry(exact.header(), i) : RGBQUAD{0, 0, 0, 0};
      EXPECT_EQ(0, std::memcmp(&expected, target.data() + 40 + 4 * i, 4))
          << c.bits << " bits, clrUsed " << c.clrUsed << ", entry " << i;
    }
  }
}

}  // namespace
