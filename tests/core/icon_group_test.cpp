#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/icon_group.h"
#include "tests/support/image_bytes.h"
#include "tests/support/owned_image.h"

namespace {

TEST(BindImagePointers, WorkedExampleOf32x32At4Bits) {
  Bytes block = IconImageBlock(32, 32, 4);
  ASSERT_EQ(744u, block.size());
  OwnedImage owned(block);
  IconImage& image = owned.image;
  ASSERT_EQ(1, BindImagePointers(&image));
  EXPECT_EQ(32, image.width);
  EXPECT_EQ(32, image.height);
  EXPECT_EQ(4, image.bitsPerPixel);
  EXPECT_EQ(reinterpret_cast<BITMAPINFOHEADER*>(image.bits), image.header);
  EXPECT_EQ(104, image.xorBits - image.bits);
  EXPECT_EQ(616, image.andBits - image.bits);
}

TEST(BindImagePointers, DerivesPointersFromTableAndDepth) {
  struct Case {
    std::int32_t width;
    std::int32_t storedHeight;
    std::uint16_t bitCount;
    std::uint32_t clrUsed;
    std::int32_t height;
    std::ptrdiff_t xorAt;
    std::ptrdiff_t andAt;
  } cases[] = {
      {16, 32, 8, 0, 16, 1064, 1064 + 16 * 16},
      {16, 32, 4, 2, 16, 48, 48 + 8 * 16},  // biClrUsed wins over the depth
      {16, 33, 24, 0, 16, 40, 40 + 48 * 16},  // odd stored height rounds down
      {48, 96, 32, 0, 48, 40, 40 + 192 * 48},
      {1, 2, 1, 0, 1, 48, 52},
      {16, 32, 16, 0, 16, 40, 40 + 32 * 16},
  };
  for (const Case& c : cases) {
    HeaderFields fields;
    fields.width = c.width;
    fields.height = c.storedHeight;
    fields.bitCount = c.bitCount;
    fields.clrUsed = c.clrUsed;
    Bytes block = InfoHeader(fields);
    std::size_t andStride = (static_cast<std::size_t>(c.width) + 31) / 32 * 4;
    block.resize(static_cast<std::size_t>(c.andAt) + andStride * c.height, 0);
    OwnedImage owned(block);
    ASSERT_EQ(1, BindImagePointers(&owned.image)) << "width " << c.width << " bits " << c.bitCount;
    EXPECT_EQ(c.height, owned.image.height);
    EXPECT_EQ(c.xorAt, owned.image.xorBits - owned.image.bits) << "bits " << c.bitCount;
    EXPECT_EQ(c.andAt, owned.image.andBits - owned.image.bits) << "bits " << c.bitCount;
  }
}

TEST(BindImagePointers, RefusesNoRecordAndNoBlock) {
  EXPECT_EQ(0, BindImagePointers(nullptr));
  IconImage empty{};
  EXPECT_EQ(0, BindImagePointers(&empty));
}

// Every block one byte short of what its header describes is refused; the
// exact length binds.
TEST(BindImagePointers, RefusesBlocksShorterThanTheirHeaderDescribes) {
  const Bytes blocks[] = {IconImageBlock(32, 32, 4), IconImageBlock(16, 16, 8),
                          IconImageBlock(16, 16, 24), IconImageBlock(33, 33, 1),
                          [] { Bytes b = IconImageBlock(48, 48, 32); b.resize(40 + 192 * 48); return b; }(),
                          IconImageBlock(16, 16, 8, 300)};
  for (const Bytes& block : blocks) {
    OwnedImage exact(block);
    EXPECT_EQ(1, BindImagePointers(&exact.image)) << block.size() << " bytes";
    Bytes shorter(block.begin(), block.end() - 1);
    OwnedImage cut(shorter);
    EXPECT_EQ(0, BindImagePointers(&cut.image)) << shorter.size() << " bytes";
  }
  Bytes header = InfoHeader(HeaderFields{});
  Bytes partial(header.begin(), header.begin() + 39);
  OwnedImage tiny(partial);
  EXPECT_EQ(0, BindImagePointers(&tiny.image));
}

TEST(BindImagePointers, RefusesHeadersThatCannotDescribeAnImage) {
  struct Case {
    const char* what;
    HeaderFields fields;
  } cases[] = {
      {"biSize 12", [] { HeaderFields f; f.size = 12; return f; }()},
      {"biSize 124", [] { HeaderFields f; f.size = 124; return f; }()},
      {"biSize 41", [] { HeaderFields f; f.size = 41; return f; }()},
      {"width 0", [] { HeaderFields f; f.width = 0; return f; }()},
      {"width -32", [] { HeaderFields f; f.width = -32; return f; }()},
      {"width INT_MIN", [] { HeaderFields f; f.width = INT_MIN; return f; }()},
      {"stored height 1", [] { HeaderFields f; f.height = 1; return f; }()},
      {"stored height 0", [] { HeaderFields f; f.height = 0; return f; }()},
      {"stored height -64", [] { HeaderFields f; f.height = -64; return f; }()},
      {"stored height INT_MIN", [] { HeaderFields f; f.height = INT_MIN; return f; }()},
      {"width INT_MAX", [] { HeaderFields f; f.width = INT_MAX; f.bitCount = 32; return f; }()},
      {"rows wrap 32 bits",
       [] { HeaderFields f; f.width = 65536; f.height = 131072; f.bitCount = 32; return f; }()},
      {"planes times bits huge",
       [] { HeaderFields f; f.planes = 0xFFFF; f.bitCount = 0xFFFF; return f; }()},
  };
  for (const Case& c : cases) {
    Bytes block = InfoHeader(c.fields);
    block.resize(4096, 0);
    OwnedImage owned(block);
    EXPECT_EQ(0, BindImagePointers(&owned.image)) << c.what;
  }
}

TEST(BindImagePointers, PngImageBindsFromItsHeaderChunk) {
  OwnedImage owned(kSmallPng);
  ASSERT_EQ(1, BindImagePointers(&owned.image));
  EXPECT_TRUE(IsPngImage(&owned.image));
  EXPECT_EQ(2, owned.image.width);
  EXPECT_EQ(3, owned.image.height);
  EXPECT_EQ(32, owned.image.bitsPerPixel);
  EXPECT_EQ(nullptr, owned.image.header);
  EXPECT_EQ(nullptr, owned.image.xorBits);
  EXPECT_EQ(nullptr, owned.image.andBits);
}

TEST(BindImagePointers, PngWithLyingHeaderChunkIsRefused) {
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
  } cases[] = {
      {"chunk length 14", 11, 14}, {"chunk type IHDX", 15, 'X'}, {"width 0", 19, 0},
      {"height 0", 23, 0},         {"bit depth 3", 24, 3},        {"colour type 5", 25, 5},
      {"RGBA at 4 bits", 24, 4},   {"huge width", 16, 0x7F},      {"interlace 2", 28, 2},
  };
  for (const Case& c : cases) {
    Bytes png = kSmallPng;
    png[c.at] = c.value;
    OwnedImage owned(png);
    EXPECT_EQ(0, BindImagePointers(&owned.image)) << c.what;
  }
  Bytes cut(kSmallPng.begin(), kSmallPng.begin() + 20);
  OwnedImage owned(cut);
  EXPECT_EQ(0, BindImagePointers(&owned.image)) << "cut inside the header chunk";
}

TEST(IconGroupRecords, UntitledGroupHasRoomForOneEmptyRecord) {
  IconGroup* group = CreateUntitledGroup();
  ASSERT_NE(nullptr, group);
  EXPECT_STREQ("Untitled", group->iconPath);
  EXPECT_STREQ("", group->modulePath);
  EXPECT_EQ(0u, group->imageCount);
  const IconImage& first = *GroupImage(group, 0);
  EXPECT_EQ(nullptr, first.bits);
  EXPECT_EQ(nullptr, first.header);
  EXPECT_EQ(nullptr, first.xorBits);
  EXPECT_EQ(nullptr, first.andBits);
  EXPECT_EQ(0u, first.byteCount);
  EXPECT_EQ(32, first.width);
  EXPECT_EQ(32, first.height);
  EXPECT_EQ(32, first.bitsPerPixel);
  FreeIconGroup(group);
  FreeIconGroup(nullptr);
}

TEST(IconGroupRecords, PathFieldsAreCutAt259Bytes) {
  IconGroup* group = CreateUntitledGroup();
  std::string longPath(400, 'a');
  SetGroupPath(group->iconPath, longPath.c_str());
  EXPECT_EQ(259u, std::strlen(group->iconPath));
  FreeIconGroup(group);
}

}  // namespace
