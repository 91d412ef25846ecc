#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/clipboard_images.h"
#include "core/png_file.h"
#include "codecs/icon_rgba.h"
#include "codecs/png_decoder.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"
#include "tests/support/owned_image.h"
#include "tests/support/save_conditions.h"

namespace {

using Pixels = std::vector<std::uint8_t>;  // RGBA, top row first

bool IconImageRgba(const IconImage* image, RgbaPicture* picture) {
  return image != nullptr && DecodeIconRgba(image->bits, image->byteCount, picture) == DecodeOutcome::kDecoded;
}

bool AsPng(const IconImage* image, std::vector<std::uint8_t>* png) {
  return IconImageAsPng(image, png) == DecodeOutcome::kDecoded;
}

// A 2 x 2 icon image block: `colorRows` as stored (bottom row first, each
// padded), a colour table for 1 bit, and the AND mask given top-down, a
// 1 meaning transparent.
Bytes TwoByTwo(std::uint16_t bitCount, const Bytes& table, const Bytes& colorRows, const int (&mask)[4]) {
  HeaderFields fields;
  fields.width = 2;
  fields.height = 4;
  fields.bitCount = bitCount;
  Bytes block = InfoHeader(fields);
  Append(block, table);
  Append(block, colorRows);
  for (int row = 1; row >= 0; --row) {
    const std::uint8_t bits = static_cast<std::uint8_t>(mask[2 * row] << 7 | mask[2 * row + 1] << 6);
    Append(block, {bits, 0, 0, 0});
  }
  return block;
}

// 32-bit rows from pixels given top-down as blue, green, red, alpha.
Bytes Rows32(const Bytes& topDown) {
  Bytes rows(topDown.begin() + 8, topDown.end());
  rows.insert(rows.end(), topDown.begin(), topDown.begin() + 8);
  return rows;
}

TEST(IconImageRgba, AlphaFromTheChannelElseFromTheMask) {
  const int allMasked[4] = {1, 1, 1, 1};
  const int corners[4] = {1, 0, 0, 1};
  struct Case {
    const char* what;
    Bytes block;
    std::int32_t width, height;
    Pixels expected;
  } cases[] = {
      {"32 bits with alpha: the channel counts, the mask does not",
       TwoByTwo(32, {}, Rows32({1, 2, 3, 0x80, 4, 5, 6, 0, 7, 8, 9, 0xFF, 10, 11, 12, 0x10}), allMasked), 2, 2,
       {3, 2, 1, 0x80, 0, 0, 0, 0, 9, 8, 7, 0xFF, 12, 11, 10, 0x10}},
      {"32 bits whose alpha bytes are all 0: the mask counts",
       TwoByTwo(32, {}, Rows32({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}), corners), 2, 2,
       {0, 0, 0, 0, 6, 5, 4, 0xFF, 9, 8, 7, 0xFF, 0, 0, 0, 0}},
      {"1 bit: the mask counts, and a masked pixel that inverts the screen is transparent black",
       // Table black, white; top row indexes 1 0, bottom row 0 1.
       TwoByTwo(1, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, corners), 2, 2,
       {0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0}},
      {"PNG: its own alpha", kSmallPng, 2, 3,
       {200, 100, 50, 128, 10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255, 10, 20, 30, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnedImage owned(c.block, /*bind=*/true);
    RgbaPicture picture;
    ASSERT_TRUE(IconImageRgba(&owned.image, &picture));
    EXPECT_EQ(c.width, picture.width);
    EXPECT_EQ(c.height, picture.height);
    EXPECT_EQ(c.expected, picture.pixels);
  }
}

TEST(IconImageRgba, RefusesWhatCantBeDecoded) {
  Bytes cut = IconImageBlock(16, 16, 8);
  cut.resize(40 + 1024 + 100);  // the colour rows are not all there
  Bytes png = kSmallPng;
  png.resize(40);
  for (const Bytes& block : {cut, png}) {
    OwnedImage owned(block);
    RgbaPicture picture;
    EXPECT_FALSE(IconImageRgba(&owned.image, &picture));
  }
  IconImage none{};
  RgbaPicture picture;
  EXPECT_FALSE(IconImageRgba(&none, &picture));
  EXPECT_FALSE(IconImageRgba(nullptr, &picture));
}

// A group of records that only name a size and depth; the blocks are not
// the group's to free.
class SizedGroup {
 public:
  struct Record {
    std::int32_t width, height, bitsPerPixel;
    bool hasBlock;
  };
  explicit SizedGroup(const std::vector<Record>& records)
      : group_(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(records.size() + 1)))) {
    for (const Record& r : records) {
      IconImage* image = GroupImage(group_, group_->imageCount++);
      image->width = r.width;
      image->height = r.height;
      image->bitsPerPixel = r.bitsPerPixel;
      image->bits = r.hasBlock ? &byte_ : nullptr;
    }
  }
  ~SizedGroup() { std::free(group_); }
  SizedGroup(const SizedGroup&) = delete;
  SizedGroup& operator=(const SizedGroup&) = delete;
  const IconGroup* get() const { return group_; }

 private:
  IconGroup* group_;
  BYTE byte_ = 0;
};

TEST(LargestImageIndex, MostPixelsThenMostBitsThenTheFirst) {
  struct Case {
    const char* what;
    std::vector<SizedGroup::Record> records;
    int expected;
  } cases[] = {
      {"most pixels", {{16, 16, 32, true}, {48, 48, 4, true}, {32, 32, 32, true}}, 1},
      {"pixels, not the width", {{64, 8, 32, true}, {24, 24, 32, true}}, 1},
      {"at the same size, most bits", {{32, 32, 4, true}, {32, 32, 32, true}, {32, 32, 8, true}}, 1},
      {"at the same size and depth, the first", {{16, 16, 8, true}, {32, 32, 8, true}, {32, 32, 8, true}}, 1},
      {"256 x 256 PNG over 48 x 48", {{48, 48, 32, true}, {256, 256, 32, true}}, 1},
      {"a record without a block does not count", {{16, 16, 4, true}, {48, 48, 32, false}}, 0},
      {"no image", {}, -1},
      {"no record holds a block", {{16, 16, 4, false}}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SizedGroup group(c.records);
    EXPECT_EQ(c.expected, LargestImageIndex(group.get()));
  }
  EXPECT_EQ(-1, LargestImageIndex(nullptr));
}

TEST(IconImageAsPng, APngImageAsStoredAnyOtherEncodedWithItsTransparency) {
  OwnedImage stored(kSmallPng, /*bind=*/true);
  std::vector<std::uint8_t> png;
  ASSERT_TRUE(AsPng(&stored.image, &png));
  EXPECT_EQ(kSmallPng, png);

  for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    OwnedImage owned(IconImageBlock(16, 16, bits, 0, static_cast<std::uint8_t>(bits)), /*bind=*/true);
    RgbaPicture expected;
    ASSERT_TRUE(IconImageRgba(&owned.image, &expected));
    ASSERT_TRUE(AsPng(&owned.image, &png));
    // Read back by the other half of the library: a decoder, not the encoder.
    RgbaPicture decoded;
    ASSERT_EQ(DecodeOutcome::kDecoded, DecodePng(png.data(), png.size(), &decoded));
    EXPECT_EQ(expected.pixels, decoded.pixels);
  }
}

TEST(IconImageAsDibV5, AVersion5HeaderWithAlphaThenBottomUpRows) {
  const int corners[4] = {1, 0, 0, 1};
  OwnedImage owned(TwoByTwo(32, {}, Rows32({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}), corners),
                   /*bind=*/true);
  std::vector<std::uint8_t> block;
  ASSERT_TRUE(IconImageAsDibV5(&owned.image, &block));
  ASSERT_EQ(124u + 16u, block.size());
  Bytes header(block.begin(), block.begin() + 124);
  EXPECT_EQ(124u, GetU32(header, 0));
  EXPECT_EQ(2u, GetU32(header, 4));
  EXPECT_EQ(2u, GetU32(header, 8));  // bottom-up
  EXPECT_EQ(1u, GetU16(header, 12));
  EXPECT_EQ(32u, GetU16(header, 14));
  EXPECT_EQ(3u, GetU32(header, 16));  // BI_BITFIELDS
  EXPECT_EQ(16u, GetU32(header, 20));
  EXPECT_EQ(0x00FF0000u, GetU32(header, 40));
  EXPECT_EQ(0x0000FF00u, GetU32(header, 44));
  EXPECT_EQ(0x000000FFu, GetU32(header, 48));
  EXPECT_EQ(0xFF000000u, GetU32(header, 52));
  EXPECT_EQ(0x73524742u, GetU32(header, 56));  // sRGB
  EXPECT_EQ(4u, GetU32(header, 108));          // LCS_GM_IMAGES
  // The bottom row first: (0, 1) opaque, (1, 1) masked; then the top row.
  Bytes rows(block.begin() + 124, block.end());
  EXPECT_EQ((Bytes{7, 8, 9, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 4, 5, 6, 0xFF}), rows);
}

class SaveImageAsPngTest : public ::testing::Test {
 protected:
  TempDir dir;
  MessageCapture messages;
};

TEST_F(SaveImageAsPngTest, WritesTheImagesPngStream) {
  for (const Bytes& block : {kSmallPng, IconImageBlock(32, 32, 4)}) {
    OwnedImage owned(block, /*bind=*/true);
    std::string path = dir.Path("icon.png");
    ASSERT_EQ(1, SaveImageAsPng(path.c_str(), &owned.image));
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(AsPng(&owned.image, &png));
    EXPECT_EQ(png, ReadFileBytes(path));
  }
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(std::vector<std::string>{"icon.png"}, dir.Files());
}

TEST_F(SaveImageAsPngTest, FailuresSayWhyAndLeaveTheTargetAsItWas) {
  Bytes kept = {'k', 'e', 'p', 't'};
  std::string existing = dir.Write("existing.png", kept);
  Bytes cut = IconImageBlock(16, 16, 8);
  cut.resize(200);
  OwnedImage undecodable(cut);
  EXPECT_EQ(0, SaveImageAsPng(existing.c_str(), &undecodable.image));
  EXPECT_EQ("图标不能转换为PNG格式!", messages.OnlyText());
  EXPECT_EQ(existing, messages.Messages()[0].caption);
  EXPECT_EQ(kept, ReadFileBytes(existing));

  messages.Clear();
  OwnedImage good(IconImageBlock(16, 16, 4), /*bind=*/true);
  std::string nowhere = dir.Path("no-such-folder/icon.png");
  EXPECT_EQ(0, SaveImageAsPng(nowhere.c_str(), &good.image));
  EXPECT_EQ("PNG文件建立时出错!", messages.OnlyText());
  EXPECT_EQ(nowhere, messages.Messages()[0].caption);
  EXPECT_EQ(std::vector<std::string>{"existing.png"}, dir.Files());
}

#ifndef _WIN32
// An empty target kept as the file it is (a thumbnail service's) takes the
// picture directly, and a disk that can't hold it all leaves it empty again.
TEST_F(SaveImageAsPngTest, AnEmptyKeptTargetIsWrittenOrLeftEmpty) {
  SmallDisk disk(dir, 16 * 4096);
  if (!disk.Mounted()) GTEST_SKIP() << "no small disk";
  const Bytes png(3 * 4096, 0x5A);
  const std::string written = WriteFileBytes(disk.Path("written.png"), {});
  ASSERT_EQ(1, WritePngFile(written.c_str(), png, true));
  EXPECT_EQ(png, ReadFileBytes(written));
  const std::string full = WriteFileBytes(disk.Path("full.png"), {});
  ASSERT_TRUE(disk.LeaveFree(4096));
  const std::string folder = full.substr(0, full.rfind('/'));
  const std::vector<std::string> names = FilesIn(folder);
  EXPECT_EQ(0, WritePngFile(full.c_str(), png, true));
  EXPECT_EQ(0u, ReadFileBytes(full).size());
  EXPECT_EQ(names, FilesIn(folder));
}
#endif

}  // namespace
