#include "core/icon_from_bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/dib.h"
#include "core/dib_reformat.h"
#include "platform/handles.h"
#include "core/icon_file.h"
#include "core/platform_palettes.h"
#include "tests/support/dib_fixtures.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace {

// A record of the wanted format that owns its block, as a group's record does.
struct Record {
  IconImage image{};
  Record(std::int32_t width, std::int32_t height, std::int32_t bits) {
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
  }
  ~Record() { std::free(image.bits); }
};

Bytes BitmapFileOf(const Block& dib) {
  const BITMAPINFOHEADER* header = HeaderOf(dib);
  Bytes file;
  AppendU16(file, 19778);
  AppendU32(file, std::uint32_t(14 + dib.size()));
  AppendU32(file, 0);
  AppendU32(file, 54 + DibPaletteBytes(header));
  Append(file, dib);
  return file;
}

void ExpectBoundLikeAnIconImage(const IconImage& image, const char* what) {
  ASSERT_NE(nullptr, image.bits) << what;
  EXPECT_EQ(reinterpret_cast<BITMAPINFOHEADER*>(image.bits), image.header) << what;
  // The readers' own binding finds the same layout in the block.
  IconImage rebound{};
  rebound.bits = image.bits;
  rebound.byteCount = image.byteCount;
  ASSERT_EQ(1, BindImagePointers(&rebound)) << what;
  EXPECT_EQ(image.width, rebound.width) << what;
  EXPECT_EQ(image.height, rebound.height) << what;
  EXPECT_EQ(image.bitsPerPixel, rebound.bitsPerPixel) << what;
  EXPECT_EQ(image.xorBits, rebound.xorBits) << what;
  EXPECT_EQ(image.andBits, rebound.andBits) << what;
  EXPECT_EQ(image.bits + image.byteCount,
            image.andBits + DibStride64(image.width, 1) * image.height)
      << what;
  for (const BYTE* p = image.andBits; p < image.bits + image.byteCount; ++p) {
    ASSERT_EQ(0, *p) << what << ": the mask leaves every pixel opaque";
  }
  if (image.bitsPerPixel == 32) {
    for (const BYTE* alpha = image.xorBits + 3; alpha < image.andBits; alpha += 4) {
      ASSERT_EQ(255, *alpha) << what << ": the alpha channel says what the mask says";
    }
  }
}

TEST(IconImageFromDib, BlockLayoutForEachFormat) {
  struct Case {
    std::int32_t width, height, bits;
    std::uint32_t byteCount;
    std::ptrdiff_t xorAt;
    std::int32_t xorStride, maskStride;
  } cases[] = {
      {32, 32, 4, 744, 104, 16, 4}, {16, 16, 8, 1384, 1064, 16, 4},
      {16, 16, 1, 176, 48, 4, 4},   {48, 48, 32, 9640, 40, 192, 8},
      {33, 2, 1, 80, 48, 8, 8},     {32, 32, 32, 4264, 40, 128, 4},
      {16, 16, 16, 616, 40, 32, 4}, {3, 1, 24, 56, 40, 12, 4},
  };
  Block bitmap = MakeDib({100, 50, 24}, 3);
  for (const Case& c : cases) {
    Record record(c.width, c.height, c.bits);
    ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE))
        << c.width << "x" << c.height;
    const IconImage& image = record.image;
    EXPECT_EQ(c.byteCount, image.byteCount) << c.width << "x" << c.height << " at " << c.bits;
    EXPECT_EQ(c.width, image.header->biWidth);
    EXPECT_EQ(2 * c.height, image.header->biHeight);
    EXPECT_EQ(c.bits, image.header->biBitCount);
    EXPECT_EQ(c.xorAt, image.xorBits - image.bits);
    EXPECT_EQ(c.xorStride * c.height, image.andBits - image.xorBits);
    EXPECT_EQ(c.width, image.width);
    EXPECT_EQ(c.height, image.height);
    EXPECT_EQ(c.bits, image.bitsPerPixel);
    ExpectBoundLikeAnIconImage(image, "converted");
  }
}

TEST(IconImageFromDib, StretchedInto16DefaultColours) {
  Block bitmap = MakeDib({100, 50, 24}, 5);
  Record record(32, 32, 4);
  ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE));
  RGBQUAD defaults[kDefaultPaletteColors];
  ASSERT_EQ(1, GetDefaultPaletteColors(defaults));
  EXPECT_EQ(0, std::memcmp(defaults, record.image.bits + 40, sizeof defaults));
  HeapPtr<BITMAPINFOHEADER> reformatted(ReformatDib(HeaderOf(bitmap), 32, 32, 4, TRUE));
  ASSERT_TRUE(reformatted);
  EXPECT_EQ(0, std::memcmp(DibPixels(reformatted.get()), record.image.xorBits, 16 * 32));
}

TEST(IconImageFromDib, SameSizeAndDepthComeThroughUnchanged) {
  for (WORD bits : {1, 4, 8, 16, 24, 32}) {
    Block bitmap = MakeDib({20, 10, bits}, 7);
    if (bits == 1) {  // a 1-bit picture keeps its pixels when its table is black and white
      const BYTE blackAndWhite[8] = {0, 0, 0, 0, 255, 255, 255, 0};
      std::memcpy(bitmap.data() + 40, blackAndWhite, 8);
    }
    Record record(20, 10, bits);
    ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE)) << bits;
    unsigned entries = bits <= 8 ? 1u << bits : 0;
    if (bits == 4 || bits == 8) {
      EXPECT_EQ(0, std::memcmp(bitmap.data() + 40, record.image.bits + 40, 4 * entries)) << bits;
    }
    BITMAPINFOHEADER colorPicture = *record.image.header;
    colorPicture.biHeight = 10;
    Block picture(record.image.bits, record.image.andBits);
    std::memcpy(picture.data(), &colorPicture, 40);
    for (LONG y = 0; y < 10; ++y)
      for (LONG x = 0; x < 20; ++x)
        ASSERT_EQ(PixelColor(HeaderOf(bitmap), x, y, entries),
                  PixelColor(HeaderOf(picture), x, y, entries))
            << bits << " bits at " << x << "," << y;
  }
}

TEST(IconImageFromDib, ReplacesTheFormerBlockOnce) {
  Record record(16, 16, 8);
  Block first = MakeDib({16, 16, 24}, 11);
  Block second = MakeDib({40, 40, 8}, 13);
  ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(first), TRUE));
  // The first block is released by the second call: a leak or a double free
  // shows under the sanitizers.
  ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(second), TRUE));
  EXPECT_EQ(16 * 16 + 16 * 4 + 1064u, record.image.byteCount);
  ExpectBoundLikeAnIconImage(record.image, "second");
}

TEST(IconImageFromDib, FailureLeavesTheRecordAsItWas) {
  Record record(16, 16, 8);
  Block bitmap = MakeDib({16, 16, 24}, 17);
  ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE));
  IconImage before = record.image;

  Block twoPlanes = bitmap;
  HeaderOf(twoPlanes)->biPlanes = 2;
  Block rle = bitmap;
  HeaderOf(rle)->biCompression = 1;
  EXPECT_EQ(0, IconImageFromDib(&record.image, HeaderOf(twoPlanes), TRUE));
  EXPECT_EQ(0, IconImageFromDib(&record.image, HeaderOf(rle), TRUE));
  EXPECT_EQ(0, IconImageFromDib(&record.image, nullptr, TRUE));
  EXPECT_EQ(0, IconImageFromDib(nullptr, HeaderOf(bitmap), TRUE));
  EXPECT_EQ(0, std::memcmp(&before, &record.image, sizeof before));

  const std::int32_t badDepths[] = {0, 2, 7, 64, 65536 + 32, -1};
  for (std::int32_t bits : badDepths) {
    record.image.bitsPerPixel = bits;
    EXPECT_EQ(0, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE)) << bits;
    EXPECT_EQ(before.bits, record.image.bits);
  }
  record.image.bitsPerPixel = 8;
  for (auto [width, height] :
       {std::pair{0, 16}, std::pair{16, 0}, std::pair{-16, 16}, std::pair{32769, 1}}) {
    record.image.width = width;
    record.image.height = height;
    EXPECT_EQ(0, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE)) << width << "x" << height;
    EXPECT_EQ(before.bits, record.image.bits);
  }
  record.image.width = record.image.height = 16;
}

TEST(IconImageFromBitmapFile, ReadsTheFileIntoTheRecord) {
  TempDir dir;
  Block bitmap = MakeDib({64, 64, 8}, 19);
  std::string path = dir.Write("picture.bmp", BitmapFileOf(bitmap));
  MessageCapture messages;
  Record record(32, 32, 4);
  ASSERT_EQ(1, IconImageFromBitmapFile(path.c_str(), &record.image, TRUE));
  EXPECT_TRUE(messages.Messages().empty());
  HeapPtr<BITMAPINFOHEADER> expected(ReformatDib(HeaderOf(bitmap), 32, 32, 4, TRUE));
  EXPECT_EQ(0, std::memcmp(DibPixels(expected.get()), record.image.xorBits, 16 * 32));
}

TEST(IconImageFromBitmapFile, FailuresLeaveTheRecordAndSayWhy) {
  TempDir dir;
  Block jpeg = MakeDib({8, 8, 8}, 23);
  HeaderOf(jpeg)->biCompression = 4;  // read as if uncompressed, but no conversion reads it
  Block depth2 = MakeDib({8, 8, 24}, 23);
  HeaderOf(depth2)->biBitCount = 2;
  const struct {
    std::string path;
    const char* text;
  } cases[] = {
      {dir.Path("missing.bmp"), "打开位图文件出错!"},
      {dir.Write("short.bmp", Bytes{'B', 'M', 1}), "读位图文件头出错!"},
      {dir.Write("jpeg.bmp", BitmapFileOf(jpeg)), "位图格式不能转换为图标!"},
      {dir.Write("depth2.bmp", BitmapFileOf(depth2)), "位图格式不能转换为图标!"},
  };
  Record record(16, 16, 24);
  Block bitmap = MakeDib({16, 16, 24}, 29);
  ASSERT_EQ(1, IconImageFromDib(&record.image, HeaderOf(bitmap), TRUE));
  IconImage before = record.image;
  for (const auto& c : cases) {
    MessageCapture messages;
    EXPECT_EQ(0, IconImageFromBitmapFile(c.path.c_str(), &record.image, TRUE)) << c.path;
    ASSERT_EQ(1u, messages.Messages().size()) << c.path;
    EXPECT_EQ(c.text, messages.Messages()[0].text) << c.path;
    EXPECT_EQ(c.path, messages.Messages()[0].caption);
    EXPECT_EQ(nullptr, messages.Messages()[0].owner);
    EXPECT_EQ(0, std::memcmp(&before, &record.image, sizeof before)) << c.path;
  }
}

TEST(ReadBitmapIntoGroup, TheStartingGroupGainsItsImage) {
  TempDir dir;
  std::string path = dir.Write("picture.bmp", BitmapFileOf(MakeDib({100, 50, 24}, 31)));
  IconGroupPtr starting(CreateUntitledGroup());
  ASSERT_NE(nullptr, starting.get());
  EXPECT_EQ(0u, starting->imageCount);
  MessageCapture messages;
  ASSERT_EQ(1, ReadBitmapIntoGroup(starting.get(), true, path.c_str()));
  EXPECT_EQ(1u, starting->imageCount);
  const IconImage& image = *GroupImage(starting.get(), 0);
  EXPECT_EQ(32, image.width);
  EXPECT_EQ(32, image.height);
  EXPECT_EQ(32, image.bitsPerPixel);
  EXPECT_EQ(40u + 32 * 128 + 32 * 4, image.byteCount);
  ExpectBoundLikeAnIconImage(image, "starting group");
  EXPECT_STREQ("Untitled", starting->iconPath);

  // Saved as an icon file, the image is there; and a second bitmap replaces it.
  std::string icon = dir.Path("saved.ico");
  ASSERT_EQ(1, SaveIconFile(starting.get(), icon.c_str()));
  IconGroupPtr back(LoadIconFile(icon.c_str()));
  ASSERT_NE(nullptr, back.get());
  ASSERT_EQ(1u, back->imageCount);
  EXPECT_EQ(0, std::memcmp(image.bits, GroupImage(back.get(), 0)->bits, image.byteCount));
  ASSERT_EQ(1, ReadBitmapIntoGroup(starting.get(), true, path.c_str()));
  EXPECT_EQ(1u, starting->imageCount);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(ReadBitmapIntoGroup, AFailedReadLeavesTheStartingGroupEmpty) {
  TempDir dir;
  IconGroupPtr starting(CreateUntitledGroup());
  MessageCapture messages;
  EXPECT_EQ(0, ReadBitmapIntoGroup(starting.get(), true, dir.Path("missing.bmp").c_str()));
  EXPECT_EQ(0u, starting->imageCount);
  EXPECT_EQ(nullptr, GroupImage(starting.get(), 0)->bits);
  EXPECT_EQ("打开位图文件出错!", messages.OnlyText());
}

TEST(ReadBitmapIntoGroup, ReplacesOnlyTheFirstImageOfAGroupWithImages) {
  TempDir dir;
  Bytes second = IconImageBlock(16, 16, 4, 0, 9);
  std::string iconPath = dir.Write("two.ico", IconFile({IconImageBlock(48, 48, 8), second}));
  std::string bitmapPath = dir.Write("picture.bmp", BitmapFileOf(MakeDib({20, 20, 32}, 37)));
  MessageCapture messages;
  IconGroupPtr group(LoadIconFile(iconPath.c_str()));
  ASSERT_NE(nullptr, group.get());
  ASSERT_EQ(1, ReadBitmapIntoGroup(group.get(), false, bitmapPath.c_str()));
  EXPECT_EQ(2u, group->imageCount);
  const IconImage& first = *GroupImage(group.get(), 0);
  EXPECT_EQ(48, first.header->biWidth);
  EXPECT_EQ(8, first.header->biBitCount);
  ExpectBoundLikeAnIconImage(first, "first image");
  const IconImage& other = *GroupImage(group.get(), 1);
  ASSERT_EQ(second.size(), other.byteCount);
  EXPECT_EQ(0, std::memcmp(second.data(), other.bits, second.size()));
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(ReadBitmapIntoGroup, APngImageBecomesABitmapImageOfItsSize) {
  TempDir dir;
  std::string iconPath = dir.Write("png.ico", IconFile({kSmallPng}));
  std::string bitmapPath = dir.Write("picture.bmp", BitmapFileOf(MakeDib({9, 9, 24}, 41)));
  MessageCapture messages;
  IconGroupPtr group(LoadIconFile(iconPath.c_str()));
  ASSERT_NE(nullptr, group.get());
  ASSERT_EQ(1, ReadBitmapIntoGroup(group.get(), false, bitmapPath.c_str()));
  const IconImage& image = *GroupImage(group.get(), 0);
  EXPECT_FALSE(IsPngImage(&image));
  EXPECT_EQ(2, image.header->biWidth);
  EXPECT_EQ(6, image.header->biHeight);
  ExpectBoundLikeAnIconImage(image, "former PNG");
}

TEST(ReadBitmapIntoGroup, NoGroupOrNoRoomReadsNothing) {
  TempDir dir;
  std::string bitmapPath = dir.Write("picture.bmp", BitmapFileOf(MakeDib({9, 9, 24}, 43)));
  std::string emptyIcon = dir.Write("empty.ico", IconFile({}));
  MessageCapture messages;
  EXPECT_EQ(0, ReadBitmapIntoGroup(nullptr, true, bitmapPath.c_str()));
  IconGroupPtr empty(LoadIconFile(emptyIcon.c_str()));
  ASSERT_NE(nullptr, empty.get());
  EXPECT_EQ(0, ReadBitmapIntoGroup(empty.get(), false, bitmapPath.c_str()));
  EXPECT_EQ(0u, empty->imageCount);
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
