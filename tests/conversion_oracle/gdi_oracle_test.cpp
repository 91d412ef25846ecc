// Our pixel conversion against GDI's, under Wine: the same source converted
// by ReformatDib and by GDI's block transfers between two DIB sections (the
// target's table from FillColorTable, the source's as its block holds it,
// entries it does not hold being 0), BitBlt for a copy and StretchBlt in
// COLORONCOLOR mode for a stretch. And our native palettes against gdi32's.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <tuple>

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "core/dib_reformat.h"
#include "platform/handles.h"
#include "core/platform_palettes.h"
#include "platform/posix/palette_tables.h"
#include "tests/support/dib_fixtures.h"
#include "tests/support/message_capture.h"

namespace {

const WORD kDepths[] = {1, 4, 8, 16, 24, 32};

unsigned FullColors(WORD bitCount) { return bitCount <= 8 ? 1u << bitCount : 0; }

// A GDI object deleted with its owner; a context whose selection is undone
// first.
struct GdiObject {
  HGDIOBJ handle;
  ~GdiObject() {
    if (handle) DeleteObject(handle);
  }
};
struct MemoryContext {
  HDC dc;
  HGDIOBJ previous = nullptr;
  ~MemoryContext() {
    if (previous) SelectObject(dc, previous);
    if (dc) DeleteDC(dc);
  }
};
struct ScreenContext {
  HDC dc = GetDC(nullptr);
  ~ScreenContext() { ReleaseDC(nullptr, dc); }
};

// The colour table of the source as the conversion sees it: the entries its
// block holds, then zeros, `count` entries in all.
std::vector<RGBQUAD> SourceTable(const BITMAPINFOHEADER* source, unsigned count) {
  std::vector<RGBQUAD> table(count, RGBQUAD{0, 0, 0, 0});
  unsigned held = DibPaletteBytes(source) / 4;
  if (held > count) held = count;
  std::memcpy(table.data(), reinterpret_cast<const BYTE*>(source) + 40, held * 4);
  return table;
}

// The conversion done by GDI. The result has the layout of ReformatDib's.
Block GdiReformat(const Block& sourceBlock, LONG width, LONG height, WORD bitCount, bool stretch) {
  const BITMAPINFOHEADER* source = HeaderOf(sourceBlock);
  Block target(kReformatHeaderBlockBytes, 0);
  BITMAPINFOHEADER* header = HeaderOf(target);
  header->biSize = 40;
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = bitCount;
  FillColorTable(header, source);

  ScreenContext screen;
  void* targetBits = nullptr;
  GdiObject targetSection{CreateDIBSection(screen.dc, reinterpret_cast<BITMAPINFO*>(target.data()),
                                           DIB_RGB_COLORS, &targetBits, nullptr, 0)};
  // The source's header with its table behind it; its rows are plain ones,
  // the only kind the conversion takes.
  unsigned tableEntries = FullColors(source->biBitCount);
  if (source->biClrUsed > tableEntries && source->biClrUsed <= 65536)
    tableEntries = source->biClrUsed;
  Block sourceInfo(40 + 4 * tableEntries);
  std::memcpy(sourceInfo.data(), source, 40);
  HeaderOf(sourceInfo)->biCompression = BI_RGB;
  std::vector<RGBQUAD> sourceTable = SourceTable(source, tableEntries);
  if (tableEntries) std::memcpy(sourceInfo.data() + 40, sourceTable.data(), 4 * tableEntries);
  void* sourceBits = nullptr;
  GdiObject sourceSection{CreateDIBSection(screen.dc,
                                           reinterpret_cast<BITMAPINFO*>(sourceInfo.data()),
                                           DIB_RGB_COLORS, &sourceBits, nullptr, 0)};
  if (!targetSection.handle || !sourceSection.handle) {
    ADD_FAILURE() << "CreateDIBSection failed";
    return {};
  }
  std::memcpy(sourceBits, DibPixels(source), std::size_t(DibStride(source)) * source->biHeight);

  MemoryContext from{CreateCompatibleDC(screen.dc)};
  MemoryContext to{CreateCompatibleDC(screen.dc)};
  from.previous = SelectObject(from.dc, sourceSection.handle);
  to.previous = SelectObject(to.dc, targetSection.handle);
  if (source->biBitCount <= 8) {
    SetDIBColorTable(from.dc, 0, FullColors(source->biBitCount), sourceTable.data());
  }
  if (bitCount <= 8) {
    SetDIBColorTable(to.dc, 0, FullColors(bitCount),
                     reinterpret_cast<RGBQUAD*>(target.data() + 40));
  }
  if (width == source->biWidth && height == source->biHeight) {
    EXPECT_TRUE(BitBlt(to.dc, 0, 0, width, height, from.dc, 0, 0, SRCCOPY));
  } else if (stretch) {
    SetStretchBltMode(to.dc, COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(to.dc, 0, 0, width, height, from.dc, 0, 0, source->biWidth,
                           source->biHeight, SRCCOPY));
  } else {
    EXPECT_TRUE(BitBlt(to.dc, 0, 0, width, height, from.dc, 0, 0, SRCCOPY));
  }
  GdiFlush();
  std::size_t rows = std::size_t(DibStride(header)) * height;
  target.resize(kReformatHeaderBlockBytes + rows);
  std::memcpy(DibPixels(HeaderOf(target)), targetBits, rows);
  return target;
}

Block OurReformat(const Block& source, LONG width, LONG height, WORD bitCount, bool stretch) {
  HeapPtr<BITMAPINFOHEADER> result(ReformatDib(HeaderOf(source), width, height, bitCount, stretch));
  if (!result) return {};
  std::size_t bytes = kReformatHeaderBlockBytes + std::size_t(DibStride(result.get())) * height;
  const BYTE* start = reinterpret_cast<const BYTE*>(result.get());
  return Block(start, start + bytes);
}

// Every pixel of the two results, as colours; the first few differences.
::testing::AssertionResult SameColors(const Block& ours, const Block& gdi,
                                      const std::string& what) {
  if (ours.empty() || gdi.empty()) return ::testing::AssertionFailure() << what << ": no result";
  const BITMAPINFOHEADER* a = HeaderOf(ours);
  const BITMAPINFOHEADER* b = HeaderOf(gdi);
  if (std::memcmp(a, b, 40 + DibPaletteBytes(a)) != 0) {
    return ::testing::AssertionFailure() << what << ": headers or tables differ";
  }
  unsigned entries = FullColors(a->biBitCount);
  int differences = 0;
  std::ostringstream text;
  for (LONG y = 0; y < a->biHeight; ++y) {
    for (LONG x = 0; x < a->biWidth; ++x) {
      Color mine = PixelColor(a, x, y, entries);
      Color theirs = PixelColor(b, x, y, entries);
      if (mine != theirs && ++differences <= 5) {
        text << " (" << x << "," << y << ") ours " << Describe(mine) << " value "
             << PixelValue(a, x, y) << " GDI " << Describe(theirs) << " value "
             << PixelValue(b, x, y) << ";";
      }
    }
  }
  if (differences == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << what << ": " << differences << " pixels differ:" << text.str();
}

std::string Case(const DibShape& shape, LONG width, LONG height, WORD bits, bool stretch) {
  std::ostringstream text;
  text << Describe(shape) << " to " << width << "x" << height << " at " << bits << " bits"
       << (stretch ? " stretched" : "");
  return text.str();
}

TEST(GdiOracle, SameSizeConversionsBetweenEveryPairOfDepths) {
  const std::pair<LONG, LONG> sizes[] = {{1, 1}, {3, 2}, {13, 7}, {33, 17}, {64, 64}};
  std::uint32_t seed = 1;
  for (auto [width, height] : sizes) {
    for (WORD from : kDepths) {
      DibShape shape{width, height, from};
      Block source = MakeDib(shape, seed++);
      for (WORD to : kDepths) {
        EXPECT_TRUE(SameColors(OurReformat(source, width, height, to, false),
                               GdiReformat(source, width, height, to, false),
                               Case(shape, width, height, to, false)));
      }
    }
  }
}

TEST(GdiOracle, ShortAndLongTablesAndIndexesPastThem) {
  const DibShape shapes[] = {
      {9, 5, 8, 4}, {9, 5, 8, 200}, {9, 5, 8, 256},  {9, 5, 8, 300},
      {9, 5, 4, 3}, {9, 5, 4, 16},  {9, 5, 4, 20},   {9, 5, 1, 2},
      {9, 5, 1, 5}, {9, 5, 24, 16}, {9, 5, 16, 256}, {9, 5, 8, 65537},
  };
  std::uint32_t seed = 100;
  for (const DibShape& shape : shapes) {
    for (bool anyIndex : {false, true}) {
      Block source = MakeDib(shape, seed++, anyIndex);
      for (WORD to : kDepths) {
        EXPECT_TRUE(SameColors(
            OurReformat(source, shape.width, shape.height, to, false),
            GdiReformat(source, shape.width, shape.height, to, false),
            Case(shape, shape.width, shape.height, to, false) + (anyIndex ? " any index" : "")));
      }
    }
  }
}

TEST(GdiOracle, StretchPicksTheSameRowsAndColumns) {
  // Every pixel tells its own place, so a single wrong pick shows.
  for (LONG sourceWidth = 1; sourceWidth <= 20; ++sourceWidth) {
    for (LONG targetWidth = 1; targetWidth <= 20; ++targetWidth) {
      LONG sourceHeight = 21 - sourceWidth;
      LONG targetHeight = 1 + (targetWidth * 7) % 20;
      Block source = MakePlaceDib(sourceWidth, sourceHeight, 24);
      DibShape shape{sourceWidth, sourceHeight, 24};
      for (bool stretch : {true, false}) {
        EXPECT_TRUE(SameColors(OurReformat(source, targetWidth, targetHeight, 24, stretch),
                               GdiReformat(source, targetWidth, targetHeight, 24, stretch),
                               Case(shape, targetWidth, targetHeight, 24, stretch)));
      }
    }
  }
}

TEST(GdiOracle, LargeStretchesPickTheSameRowsAndColumns) {
  const std::pair<LONG, LONG> pairs[] = {{256, 32},  {100, 32},  {300, 48}, {7, 256},
                                         {255, 256}, {257, 256}, {1000, 3}};
  for (auto [sourceLength, targetLength] : pairs) {
    Block wide = MakePlaceDib(sourceLength, 3, 32);
    EXPECT_TRUE(SameColors(OurReformat(wide, targetLength, 2, 32, true),
                           GdiReformat(wide, targetLength, 2, 32, true),
                           Case({sourceLength, 3, 32}, targetLength, 2, 32, true)));
    Block tall = MakePlaceDib(3, sourceLength, 32);
    EXPECT_TRUE(SameColors(OurReformat(tall, 2, targetLength, 32, true),
                           GdiReformat(tall, 2, targetLength, 32, true),
                           Case({3, sourceLength, 32}, 2, targetLength, 32, true)));
  }
}

TEST(GdiOracle, StretchedConversionsBetweenEveryPairOfDepths) {
  const DibShape shapes[] = {{64, 64, 0}, {100, 50, 0}, {13, 7, 0}, {256, 256, 0}};
  const std::pair<LONG, LONG> targets[] = {{32, 32}, {16, 16}, {48, 48}};
  std::uint32_t seed = 500;
  for (DibShape shape : shapes) {
    for (WORD from : kDepths) {
      shape.bitCount = from;
      Block source = MakeDib(shape, seed++);
      for (auto [width, height] : targets) {
        for (WORD to : kDepths) {
          for (bool stretch : {true, false}) {
            EXPECT_TRUE(SameColors(OurReformat(source, width, height, to, stretch),
                                   GdiReformat(source, width, height, to, stretch),
                                   Case(shape, width, height, to, stretch)));
          }
        }
      }
    }
  }
}

TEST(GdiOracle, RealBitmapsToEveryDepth) {
  const char* root = std::getenv("PICTROVE_REAL_FILES");
  if (root == nullptr) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  MessageCapture messages;
  int files = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(root) / "bmp")) {
    std::string path = entry.path().string();
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    ASSERT_TRUE(dib) << path;
    ++files;
    std::size_t bytes =
        40 + DibPaletteBytes(dib.get()) + std::size_t(DibStride(dib.get())) * dib->biHeight;
    const BYTE* start = reinterpret_cast<const BYTE*>(dib.get());
    Block source(start, start + bytes);
    DibShape shape{dib->biWidth, dib->biHeight, dib->biBitCount, dib->biClrUsed,
                   dib->biCompression};
    for (WORD to : kDepths) {
      for (auto [width, height, stretch] :
           {std::tuple<LONG, LONG, bool>{dib->biWidth, dib->biHeight, false},
            {32, 32, true},
            {48, 48, true},
            {16, 16, false}}) {
        EXPECT_TRUE(SameColors(OurReformat(source, width, height, to, stretch),
                               GdiReformat(source, width, height, to, stretch),
                               path + ": " + Case(shape, width, height, to, stretch)));
      }
    }
  }
  EXPECT_EQ(24, files);
}

TEST(PlatformPalettes, NativeTablesEqualGdi32) {
  PALETTEENTRY stock[kStaticColourCount + 1] = {};
  ASSERT_EQ(kStaticColourCount,
            GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0,
                              kStaticColourCount + 1, stock));
  for (std::size_t i = 0; i < kStaticColourCount; ++i) {
    const PaletteColour& ours = kStaticColours[i];
    EXPECT_TRUE(stock[i].peRed == ours.red && stock[i].peGreen == ours.green &&
                stock[i].peBlue == ours.blue && stock[i].peFlags == ours.flags)
        << "static colour " << i << ": gdi32 " << int(stock[i].peRed) << ","
        << int(stock[i].peGreen) << "," << int(stock[i].peBlue) << "," << int(stock[i].peFlags);
  }

  ScreenContext screen;
  GdiObject halftone{CreateHalftonePalette(screen.dc)};
  PALETTEENTRY entries[kHalftoneColourCount + 1] = {};
  ASSERT_EQ(kHalftoneColourCount, GetPaletteEntries(static_cast<HPALETTE>(halftone.handle), 0,
                                                    kHalftoneColourCount + 1, entries));
  for (std::size_t i = 0; i < kHalftoneColourCount; ++i) {
    PaletteColour ours = HalftoneColour(i);
    EXPECT_TRUE(entries[i].peRed == ours.red && entries[i].peGreen == ours.green &&
                entries[i].peBlue == ours.blue && entries[i].peFlags == ours.flags)
        << "halftone entry " << i << ": gdi32 " << int(entries[i].peRed) << ","
        << int(entries[i].peGreen) << "," << int(entries[i].peBlue) << ","
        << int(entries[i].peFlags) << " ours " << int(ours.red) << "," << int(ours.green) << ","
        << int(ours.blue);
  }
}

TEST(PlatformPalettes, CoreReadsThePlatformPalettesAsTableEntries) {
  RGBQUAD defaults[kDefaultPaletteColors];
  ASSERT_EQ(1, GetDefaultPaletteColors(defaults));
  for (unsigned i = 0; i < kDefaultPaletteColors; ++i) {
    const PaletteColour& c = kStaticColours[i];
    EXPECT_TRUE(defaults[i].rgbRed == c.red && defaults[i].rgbGreen == c.green &&
                defaults[i].rgbBlue == c.blue && defaults[i].rgbReserved == c.flags)
        << "entry " << i;
  }
  RGBQUAD halftone[kHalftonePaletteColors];
  ASSERT_EQ(1, GetHalftonePaletteColors(halftone));
  for (unsigned i = 0; i < kHalftonePaletteColors; ++i) {
    PaletteColour c = HalftoneColour(i);
    EXPECT_TRUE(halftone[i].rgbRed == c.red && halftone[i].rgbGreen == c.green &&
                halftone[i].rgbBlue == c.blue)
        << "entry " << i;
  }
}

}  // namespace
