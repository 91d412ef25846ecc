#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "core/file_io.h"
#include "platform/handles.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"
#include "tests/support/save_checks.h"

namespace {

HeaderFields Fields(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                    std::uint32_t clrUsed = 0) {
  HeaderFields f;
  f.width = width;
  f.height = height;
  f.bitCount = bitCount;
  f.clrUsed = clrUsed;
  return f;
}

// An info header of `size` bytes (the sizes of the V4 and V5 headers and of
// the two between) storing rows by `compression`, with the masks from byte
// 40 on and every further field zero.
Bytes Info(std::uint32_t size, std::int32_t width, std::int32_t height, std::uint16_t bitCount,
           std::uint32_t compression, std::vector<std::uint32_t> masks = {},
           std::uint32_t clrUsed = 0) {
  HeaderFields fields = Fields(width, height, bitCount, clrUsed);
  fields.size = size;
  Bytes info = InfoHeader(fields);
  PutU32(info, 16, compression);
  for (std::uint32_t mask : masks) AppendU32(info, mask);
  if (info.size() < size) info.resize(size, 0);
  return info;
}

// A bitmap file of that info header and what follows it (masks, table,
// rows); offBits 0 leaves the rows right behind the table.
Bytes FileOf(const Bytes& info, const Bytes& rest, std::uint32_t offBits = 0) {
  Bytes file;
  AppendU16(file, 19778);
  AppendU32(file, static_cast<std::uint32_t>(14 + info.size() + rest.size()));
  AppendU32(file, 0);
  AppendU32(file, offBits);
  Append(file, info);
  Append(file, rest);
  return file;
}

constexpr std::uint32_t kRle8 = 1, kRle4 = 2, kFields = 3;
const Bytes kTwoColours = {0, 0, 0, 0, 255, 255, 255, 0};

Bytes Pattern(std::size_t length, std::uint8_t seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 3 * i);
  return bytes;
}

class BitmapFileReader : public ::testing::Test {
 protected:
  TempDir dir;
  MessageCapture messages;

  std::string ReadMessage(const Bytes& file) {
    messages.Clear();
    std::string path = dir.Write("in.bmp", file);
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    if (dib) return "";
    if (!messages.Messages().empty()) {
      EXPECT_EQ(path, messages.Messages()[0].caption);
      EXPECT_EQ(nullptr, messages.Messages()[0].owner) << "bitmap messages have no owner";
    }
    return messages.OnlyText();
  }
};

TEST_F(BitmapFileReader, ReadsHeaderTableAndRowsIntoOneBlock) {
  Bytes table = Pattern(1024, 9);
  Bytes rows = Pattern(8 * 3, 50);  // 5 pixels at 8 bits: rows of 8 bytes
  Bytes file = BitmapFile(Fields(5, 3, 8), Concat2(table, rows), 0);
  std::string path = dir.Write("eight.bmp", file);
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
  ASSERT_TRUE(dib);
  EXPECT_TRUE(messages.Messages().empty());
  const BYTE* bytes = reinterpret_cast<const BYTE*>(dib.get());
  EXPECT_EQ(0, std::memcmp(file.data() + 14, bytes, 40 + 1024 + 24));
}

TEST_F(BitmapFileReader, RowsComeFromOffBitsAndTheTableFromBehindTheHeader) {
  Bytes table = Pattern(64, 1);
  Bytes gap(30, 0xEE);
  Bytes rows = Pattern(4 * 2, 90);  // 3 pixels at 4 bits: rows of 4 bytes
  Bytes body = table;
  Append(body, gap);
  Append(body, rows);
  std::string path = dir.Write("gap.bmp", BitmapFile(Fields(3, 2, 4), body, 54 + 64 + 30));
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
  ASSERT_TRUE(dib);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(dib.get());
  EXPECT_EQ(0, std::memcmp(table.data(), bytes + 40, 64));
  EXPECT_EQ(0, std::memcmp(rows.data(), DibPixels(dib.get()), rows.size()));
}

TEST_F(BitmapFileReader, TwentyFourBitsHaveNoTableAndIgnoreBfSize) {
  Bytes rows = Pattern(12 * 2, 7);
  Bytes file = BitmapFile(Fields(3, 2, 24), rows, 54);
  PutU32(file, 2, 0);  // bfSize 0
  std::string path = dir.Write("true.bmp", file);
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
  ASSERT_TRUE(dib);
  EXPECT_EQ(0, std::memcmp(rows.data(), reinterpret_cast<BYTE*>(dib.get()) + 40, rows.size()));
}

TEST_F(BitmapFileReader, EachFailureShowsItsMessage) {
  Bytes good = BitmapFile(Fields(3, 2, 24), Pattern(24, 1), 54);
  auto with = [&](auto change) {
    Bytes file = good;
    change(file);
    return file;
  };
  struct Case {
    const char* what;
    Bytes file;
    const char* message;
  } cases[] = {
      {"13 bytes", Bytes(good.begin(), good.begin() + 13), "读位图文件头出错!"},
      {"file header only", Bytes(good.begin(), good.begin() + 14), "读位图文件信息头出错!"},
      {"info header cut", Bytes(good.begin(), good.begin() + 53), "读位图文件信息头出错!"},
      {"MB", with([](Bytes& f) { f[0] = 'M'; f[1] = 'B'; }), "未知的位图格式文件!"},
      {"bfReserved1 1", with([](Bytes& f) { f[6] = 1; }), "未知的位图格式文件!"},
      {"bfReserved2 1", with([](Bytes& f) { f[9] = 1; }), "未知的位图格式文件!"},
      {"biSize 12", with([](Bytes& f) { PutU32(f, 14, 12); }), "OS/2风格的位图不支持!"},
      {"biSize 64", with([](Bytes& f) { PutU32(f, 14, 64); }), "OS/2风格的位图不支持!"},
      {"biSize 41", with([](Bytes& f) { PutU32(f, 14, 41); }), "OS/2风格的位图不支持!"},
      {"biSize 0", with([](Bytes& f) { PutU32(f, 14, 0); }), "未知的位图格式文件!"},
      {"V4 header cut", with([](Bytes& f) { PutU32(f, 14, 108); }), "读位图文件信息头出错!"},
      {"V5 header cut", with([](Bytes& f) { PutU32(f, 14, 124); }), "读位图文件信息头出错!"},
      {"last row cut", Bytes(good.begin(), good.end() - 1), "读位图文件出错!"},
      {"offBits past the end", with([](Bytes& f) { PutU32(f, 10, 4000); }), "读位图文件出错!"},
      {"offBits 2^31", with([](Bytes& f) { PutU32(f, 10, 0x80000000u); }), "位图文件大小定位出错!"},
      {"offBits 2^32-1", with([](Bytes& f) { PutU32(f, 10, 0xFFFFFFFFu); }), "位图文件大小定位出错!"},
      {"table cut", BitmapFile(Fields(3, 2, 8), Pattern(100, 1), 0), "读位图颜色表出错!"},
      {"top-down rows cut",
       with([](Bytes& f) {
         PutU32(f, 22, static_cast<std::uint32_t>(-2));
         f.pop_back();
       }),
       "读位图文件出错!"},
      {"bit fields: a mask of two runs",
       FileOf(Info(124, 1, 1, 16, kFields, {0xF100, 0x07E0, 0x001F}), Bytes(4)),
       "未知的位图格式文件!"},
      {"bit fields: a mask past 16 bits",
       FileOf(Info(40, 1, 1, 16, kFields), {0, 0, 0x1F, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0, 1, 2, 3, 4}),
       "未知的位图格式文件!"},
      {"bit fields: masks cut", FileOf(Info(40, 1, 1, 32, kFields), Bytes(8)), "读位图颜色表出错!"},
      {"RLE8 stream cut", FileOf(Info(40, 4, 1, 8, kRle8, {}, 2), Concat2(kTwoColours, {2, 5, 0})),
       "读位图文件出错!"},
      {"RLE8 without rows", FileOf(Info(40, 4, 1, 8, kRle8, {}, 2), kTwoColours),
       "读位图文件出错!"},
      {"RLE8 delta past the right edge",
       FileOf(Info(40, 2, 2, 8, kRle8, {}, 2), Concat2(kTwoColours, {0, 2, 3, 0, 0, 1})),
       "读位图文件出错!"},
      {"RLE8 delta past the top row",
       FileOf(Info(40, 2, 2, 8, kRle8, {}, 2), Concat2(kTwoColours, {0, 2, 0, 3, 0, 1})),
       "读位图文件出错!"},
      {"RLE8 pixel above the top row",
       FileOf(Info(40, 1, 1, 8, kRle8, {}, 2), Concat2(kTwoColours, {0, 2, 0, 1, 1, 1, 0, 1})),
       "读位图文件出错!"},
      {"RLE8 top-down",
       FileOf(Info(40, 1, -1, 8, kRle8, {}, 2), Concat2(kTwoColours, {1, 1, 0, 1})),
       "未知的位图格式文件!"},
      {"width 0", with([](Bytes& f) { PutU32(f, 18, 0); }), "未知的位图格式文件!"},
      {"height 0", with([](Bytes& f) { PutU32(f, 22, 0); }), "未知的位图格式文件!"},
      {"width INT_MIN", with([](Bytes& f) { PutU32(f, 18, 0x80000000u); }), "未知的位图格式文件!"},
      {"rows beyond the largest block",
       with([](Bytes& f) { PutU32(f, 18, 30000); PutU32(f, 22, 30000); }),
       "重新分配位图信息头所需内存失败!"},
      // Bounded by its bytes: a row of the largest block is read (here cut), one pixel more refused.
      {"a row of the largest block", with([](Bytes& f) { PutU32(f, 18, 89478472); PutU32(f, 22, 1); }),
       "读位图文件出错!"},
      {"a row past it", with([](Bytes& f) { PutU32(f, 18, 89478473); PutU32(f, 22, 1); }),
       "重新分配位图信息头所需内存失败!"},
      // Rows of 0 bits take no bytes: their count keeps a picture's bound.
      {"0-bit rows, 32768 of them", FileOf(Info(40, 1, 32768, 0, 0), {}), ""},
      {"0-bit rows, 32769 of them", FileOf(Info(40, 1, 32769, 0, 0), {}), "未知的位图格式文件!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.message, ReadMessage(c.file)) << c.what;
  }
  EXPECT_EQ("", ReadMessage(good));
  messages.Clear();
  EXPECT_EQ(nullptr, LoadBitmapFile(dir.Path("missing.bmp").c_str()));
  EXPECT_EQ("打开位图文件出错!", messages.OnlyText());

  // One byte over the 259 a path may have in the Windows build: refused
  // before the file is opened. The native build reads it.
  std::string name(260 - dir.Path("").size(), 'n');
  std::string overLimit = dir.Write(name, good);
  ASSERT_EQ(260u, overLimit.size());
  messages.Clear();
  HeapPtr<BITMAPINFOHEADER> longer(LoadBitmapFile(overLimit.c_str()));
#ifdef _WIN32
  EXPECT_EQ(nullptr, longer.get());
  EXPECT_EQ("打开位图文件出错!", messages.OnlyText());
#else
  EXPECT_NE(nullptr, longer.get());
#endif

#ifndef _WIN32
  // A named pipe is no file: refused at once, never waited on.
  std::string pipe = dir.Path("pipe.bmp");
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
  messages.Clear();
  EXPECT_EQ(nullptr, LoadBitmapFile(pipe.c_str()));
  EXPECT_EQ("打开位图文件出错!", messages.OnlyText());
#endif
}

TEST(BitmapFileBytes, RowsPastWhatWasReadOfALargerFileAreTooLargeNotCut) {
  Bytes file = BitmapFile(Fields(3, 2, 24), Pattern(24, 1), 54);
  ByteView head(file.data(), file.size() - 1);
  EXPECT_EQ(BitmapFileFailure::kRowsCut, ReadBitmapFile(head, head.Length()).Reason());
  EXPECT_EQ(BitmapFileFailure::kTooLarge, ReadBitmapFile(head, file.size()).Reason());
}

TEST_F(BitmapFileReader, ReadersDoNotKeepOneAnotherOut) {
  std::string path = dir.Write("shared.bmp", BitmapFile(Fields(3, 2, 24), Pattern(24, 1), 54));
  FileHandle other(OpenForReading(path.c_str()));
  ASSERT_TRUE(other.IsValid());
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
  EXPECT_TRUE(dib);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(BitmapFileReader, DecodesEveryRowStorageIntoPlainBottomUpRows) {
  struct Case {
    const char* what;
    Bytes file;
    std::uint16_t bitCount;  // of the block's plain rows
    Bytes rows;              // bottom row first
  } cases[] = {
      {"top-down, 24 bits",
       FileOf(Info(40, 2, -2, 24, 0), {1, 2, 3, 4, 5, 6, 0xA, 0xB, 7, 8, 9, 10, 11, 12, 0xC, 0xD}),
       24, {7, 8, 9, 10, 11, 12, 0xC, 0xD, 1, 2, 3, 4, 5, 6, 0xA, 0xB}},
      {"V4 header, 8 bits", FileOf(Info(108, 3, 1, 8, 0, {}, 2), Concat2(kTwoColours, {1, 0, 1, 9})),
       8, {1, 0, 1, 9}},
      // Mid grey and pure red; 5-5-5 would make the grey dark blue.
      {"5-6-5 in a V5 header",
       FileOf(Info(124, 2, 1, 16, kFields, {0xF800, 0x07E0, 0x001F}), {0xEF, 0x7B, 0x00, 0xF8}),
       24, {123, 125, 123, 0, 0, 255, 0, 0}},
      {"5-6-5 masks behind a 40-byte header",
       FileOf(Info(40, 2, 1, 16, kFields),
              {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0, 0xEF, 0x7B, 0x00, 0xF8}),
       24, {123, 125, 123, 0, 0, 255, 0, 0}},
      // Rows right behind a 40-byte header leave no room for masks: plain.
      {"bit fields without their masks",
       FileOf(Info(40, 2, 1, 16, kFields), {0xEF, 0x7B, 0x00, 0xF8}, 54), 16,
       {0xEF, 0x7B, 0x00, 0xF8}},
      {"4-4-4 in a 52-byte header",
       FileOf(Info(52, 1, 1, 16, kFields, {0x0F00, 0x00F0, 0x000F}), {0x80, 0x0F, 0, 0}), 24,
       {0, 0x88, 0xFF, 0}},
      {"32 bits red first, with alpha, top-down, 56-byte header",
       FileOf(Info(56, 1, -2, 32, kFields, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}),
              {10, 20, 30, 40, 1, 2, 3, 4}),
       32, {3, 2, 1, 4, 30, 20, 10, 40}},
      {"10-10-10 in a V5 header",
       FileOf(Info(124, 1, 1, 32, kFields, {0x3FF00000, 0x000FFC00, 0x000003FF}),
              {0x01, 0x00, 0xF8, 0x3F}),
       32, {0, 0x80, 0xFF, 0}},
      {"32 bits with plain masks", FileOf(Info(108, 1, 1, 32, kFields, {0xFF0000, 0xFF00, 0xFF}),
                                          {1, 2, 3, 4}),
       32, {1, 2, 3, 4}},
      // A run, pixels as they are (padded), end of line, a delta up and
      // right, a run, end of bitmap; what the delta skips is index 0.
      {"RLE8",
       FileOf(Info(40, 4, 3, 8, kRle8, {}, 2),
              Concat2(kTwoColours, {1, 5, 0, 3, 7, 8, 9, 0, 0, 0, 0, 2, 1, 1, 3, 4, 0, 1})),
       8, {5, 7, 8, 9, 0, 0, 0, 0, 0, 4, 4, 4}},
      {"RLE4",
       FileOf(Info(40, 5, 2, 4, kRle4, {}, 2),
              Concat2(kTwoColours, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 2, 2, 0, 3, 0xAB, 0, 1})),
       4, {0x12, 0x34, 0x50, 0, 0x00, 0xAB, 0xA0, 0}},
      // Runs cut at the row's end as GDI cuts them, an end of line behind the last row passed over.
      {"RLE8 run past the row", FileOf(Info(40, 2, 2, 8, kRle8, {}, 2), Concat2(kTwoColours,
       {3, 5, 0, 0, 1, 6, 0, 0, 0, 0, 0, 1})), 8, {5, 5, 0, 0, 6, 0, 0, 0}},
      {"RLE4 pixels as they are past the row", FileOf(Info(40, 2, 1, 4, kRle4, {}, 2), Concat2(kTwoColours,
       {0, 3, 0x12, 0x30, 0, 1})), 4, {0x12, 0, 0, 0}},
      {"40000 x 1", FileOf(Info(40, 40000, 1, 1, 0), Concat2(kTwoColours, Pattern(5000, 3))), 1, Pattern(5000, 3)},
      {"RLE8 ending behind its last line without end of bitmap",
       FileOf(Info(40, 1, 1, 8, kRle8, {}, 2), Concat2(kTwoColours, {1, 9, 0, 0})), 8,
       {9, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    messages.Clear();
    std::string path = dir.Write("decoded.bmp", c.file);
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    ASSERT_TRUE(dib) << c.what << ": " << messages.OnlyText();
    EXPECT_EQ(40u, dib->biSize) << c.what;
    EXPECT_EQ(0u, dib->biCompression) << c.what;
    EXPECT_EQ(c.bitCount, dib->biBitCount) << c.what;
    EXPECT_GT(dib->biHeight, 0) << c.what;
    const BYTE* rows = DibPixels(dib.get());
    EXPECT_EQ(c.rows, Bytes(rows, rows + DibStride(dib.get()) * dib->biHeight)) << c.what;
  }
}

class BitmapFileWriter : public ::testing::Test {
 protected:
  TempDir dir;
  MessageCapture messages;
};

TEST_F(BitmapFileWriter, FourBitIconImageGivesA630ByteFile) {
  Bytes block = IconImageBlock(32, 32, 4);
  std::string path = dir.Path("four.bmp");
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
  ASSERT_EQ(1, SaveBitmapFile(path.c_str(), header));
  Bytes file = ReadFileBytes(path);
  ASSERT_EQ(630u, file.size());
  EXPECT_EQ(19778u, GetU16(file, 0));
  EXPECT_EQ(630u, GetU32(file, 2));
  EXPECT_EQ(0u, GetU32(file, 6));
  EXPECT_EQ(118u, GetU32(file, 10));
  EXPECT_EQ(32u, GetU32(file, 22));
  EXPECT_EQ(64, header->biHeight) << "the image keeps its height";
  Bytes expectedBody = block;
  PutU32(expectedBody, 8, 32);
  expectedBody.resize(40 + 64 + 16 * 32);
  EXPECT_EQ(expectedBody, Bytes(file.begin() + 14, file.end()));
}

TEST_F(BitmapFileWriter, TwentyFourBitIconImageHasNoTable) {
  Bytes block = IconImageBlock(16, 16, 24);
  std::string path = dir.Path("true.bmp");
  ASSERT_EQ(1, SaveBitmapFile(path.c_str(), reinterpret_cast<BITMAPINFOHEADER*>(block.data())));
  Bytes file = ReadFileBytes(path);
  EXPECT_EQ(822u, file.size());
  EXPECT_EQ(54u, GetU32(file, 10));
  EXPECT_EQ(822u, GetU32(file, 2));
}

TEST_F(BitmapFileWriter, WrittenFileReadsBackAsTheColourPicture) {
  for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    Bytes block = IconImageBlock(13, 7, bits, 0, static_cast<std::uint8_t>(bits));
    std::string path = dir.Path("round.bmp");
    ASSERT_EQ(1, SaveBitmapFile(path.c_str(), reinterpret_cast<BITMAPINFOHEADER*>(block.data())));
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    ASSERT_TRUE(dib) << bits << " bits";
    std::size_t colourBytes = 40 + DibPaletteBytes(dib.get()) + DibStride(dib.get()) * 7u;
    Bytes expected(block.begin(), block.begin() + colourBytes);
    PutU32(expected, 8, 7);
    EXPECT_EQ(expected, Bytes(reinterpret_cast<BYTE*>(dib.get()),
                              reinterpret_cast<BYTE*>(dib.get()) + colourBytes))
        << bits << " bits";
  }
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(BitmapFileWriter, ReplacesAnExistingFileWhole) {
  Bytes block = IconImageBlock(16, 16, 24);
  std::string existing = dir.Write("old.bmp", Bytes(3000, 0x11));
  ASSERT_EQ(1, SaveBitmapFile(existing.c_str(), reinterpret_cast<BITMAPINFOHEADER*>(block.data())));
  EXPECT_EQ(822u, ReadFileBytes(existing).size());
  EXPECT_EQ((std::vector<std::string>{"old.bmp"}), dir.Files()) << "no temporary file is left";
}

class BitmapFileSaves : public BitmapFileWriter {
 protected:
  // Over 4 KiB, so that a disk with one page free takes the header only.
  Bytes block = IconImageBlock(32, 32, 32);
  SaveTo save = [this](const char* path) {
    return SaveBitmapFile(path, reinterpret_cast<BITMAPINFOHEADER*>(block.data()));
  };
};

TEST_F(BitmapFileSaves, EveryAcceptedLengthOfPath) { ExpectEveryAcceptedLengthSaves(dir, save); }

TEST_F(BitmapFileSaves, KeepWhatTheTargetIs) { ExpectSavesKeepWhatTargetsAre(dir, save); }

TEST_F(BitmapFileSaves, FailedSaveLeavesTheTargetAsItWas) {
  ExpectFailedSavesLeaveTargets(dir, {"位图文件建立失败！", "写位图文件头出错!", "写位图文件出错!"}, save);
  messages.Clear();
  EXPECT_EQ(0, save(dir.Path("missing/x.bmp").c_str()));
  ASSERT_EQ(1u, messages.Messages().size());
  EXPECT_EQ(nullptr, messages.Messages()[0].owner) << "bitmap messages have no owner";
}

TEST_F(BitmapFileWriter, PngImageIsSavedAsItsDecoded32BitPicture) {
  IconImage image{};
  Bytes png = kSmallPng;
  image.bits = png.data();
  image.byteCount = static_cast<std::uint32_t>(png.size());
  ASSERT_EQ(1, BindImagePointers(&image));
  std::string path = dir.Path("png.bmp");
  ASSERT_EQ(1, SaveImageAsBitmap(path.c_str(), &image));
  Bytes file = ReadFileBytes(path);
  ASSERT_EQ(54u + 2 * 3 * 4, file.size());
  EXPECT_EQ(2u, GetU32(file, 18));
  EXPECT_EQ(3u, GetU32(file, 22));
  EXPECT_EQ(32u, GetU16(file, 28));
  // The top-left pixel (200, 100, 50, 128) is the first pixel of the last row.
  const std::size_t topLeft = 54 + 2 * 8;
  EXPECT_EQ((Bytes{50, 100, 200, 128}), Bytes(file.begin() + topLeft, file.begin() + topLeft + 4));
  EXPECT_EQ((Bytes{30, 20, 10, 255}), Bytes(file.begin() + 54, file.begin() + 58));
  EXPECT_EQ(kSmallPng, png) << "the image block is not changed";
}

TEST_F(BitmapFileWriter, UndecodablePngWritesNothing) {
  // An empty image data chunk ahead of the real one: the decoder is never
  // handed it.
  Bytes emptyChunk = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
  Bytes withEmptyChunk(kSmallPng.begin(), kSmallPng.begin() + 33);
  Append(withEmptyChunk, emptyChunk);
  withEmptyChunk.insert(withEmptyChunk.end(), kSmallPng.begin() + 33, kSmallPng.end());
  for (Bytes png : {Bytes(kSmallPng.begin(), kSmallPng.begin() + 40), withEmptyChunk}) {
    IconImage image{};
    image.bits = png.data();
    image.byteCount = static_cast<std::uint32_t>(png.size());
    ASSERT_EQ(1, BindImagePointers(&image));
    std::string path = dir.Path("bad.bmp");
    messages.Clear();
    EXPECT_EQ(0, SaveImageAsBitmap(path.c_str(), &image)) << png.size() << " bytes";
    EXPECT_EQ("图标图像无法解码!", messages.OnlyText());
    EXPECT_FALSE(FileExists(path));
  }
}

}  // namespace
