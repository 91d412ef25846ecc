// The native platform's icon objects, best-fit choice, ExtractIconA and list order.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/handles.h"
#include "platform/posix/icon_best_fit.h"
#include "codecs/icon_picture.h"
#include "platform/list_order.h"
#include "platform/platform.h"
#include "tests/module_icons/module_bytes.h"
#include "tests/support/image_bytes.h"

namespace {

// A 2 x 2 image of `bitCount` bits: header, `table`, colour rows as given
// (bottom-up), and AND rows masking the bottom-right and top-left pixels
// unless `withMask` is false.
Bytes TwoByTwo(std::uint16_t bitCount, const Bytes& table, const Bytes& rows, bool withMask = true) {
  HeaderFields fields;
  fields.width = 2;
  fields.height = 4;
  fields.bitCount = bitCount;
  Bytes block = InfoHeader(fields);
  Append(block, table);
  Append(block, rows);
  // Bottom row first: pixel (1, bottom) masked; top row: pixel (0, top).
  if (withMask) Append(block, Bytes{0x40, 0, 0, 0, 0x80, 0, 0, 0});
  return block;
}

struct DecodeCase {
  const char* what;
  Bytes block;
  std::uint32_t topLeft, topRight, bottomLeft, bottomRight;  // 0xRRGGBB
};

TEST(DecodeIconImage, EveryDepthGivesItsColoursAndMask) {
  Bytes table2 = {0x10, 0x20, 0x30, 0, 0xF0, 0xE0, 0xD0, 0};
  Bytes table16(64, 0);
  for (int i = 0; i < 16; ++i) table16[4 * i] = static_cast<std::uint8_t>(i * 16);
  Bytes table256(1024, 0);
  for (int i = 0; i < 256; ++i) table256[4 * i + 1] = static_cast<std::uint8_t>(i);
  DecodeCase cases[] = {
      // rows bottom-up, each 4 bytes
      {"1 bit", TwoByTwo(1, table2, {0x40, 0, 0, 0, 0x80, 0, 0, 0}), 0xD0E0F0, 0x302010, 0x302010,
       0xD0E0F0},
      {"4 bits", TwoByTwo(4, table16, {0x12, 0, 0, 0, 0x3F, 0, 0, 0}), 0x000030, 0x0000F0,
       0x000010, 0x000020},
      {"8 bits", TwoByTwo(8, table256, {1, 2, 0, 0, 254, 255, 0, 0}), 0x00FE00, 0x00FF00, 0x000100,
       0x000200},
      {"16 bits 5-5-5", TwoByTwo(16, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}),
       0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00},
      {"24 bits", TwoByTwo(24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}), 0x090807,
       0x0C0B0A, 0x030201, 0x060504},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    IconPicture picture;
    ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(c.block.data(), c.block.size(), &picture));
    ASSERT_EQ(2, picture.width);
    ASSERT_EQ(2, picture.height);
    EXPECT_FALSE(picture.hasAlpha);
    EXPECT_EQ(0xFF000000u | c.topLeft, picture.colors[0]);
    EXPECT_EQ(0xFF000000u | c.topRight, picture.colors[1]);
    EXPECT_EQ(0xFF000000u | c.bottomLeft, picture.colors[2]);
    EXPECT_EQ(0xFF000000u | c.bottomRight, picture.colors[3]);
    EXPECT_EQ((std::vector<std::uint8_t>{1, 0, 0, 1}), picture.mask);
  }
}

TEST(DecodeIconImage, ThirtyTwoBitsCarryAlphaOnlyWhenAnyIsSet) {
  Bytes noAlpha = TwoByTwo(32, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
  IconPicture picture;
  ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(noAlpha.data(), noAlpha.size(), &picture));
  EXPECT_FALSE(picture.hasAlpha);
  EXPECT_EQ(0xFF090807u, picture.colors[0]);
  Bytes alpha = TwoByTwo(32, {}, {1, 2, 3, 0x80, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0xFF}, false);
  ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(alpha.data(), alpha.size(), &picture));
  EXPECT_TRUE(picture.hasAlpha);
  EXPECT_EQ(0x00090807u, picture.colors[0]);
  EXPECT_EQ(0x80030201u, picture.colors[2]);
  EXPECT_EQ(0u, DrawnIconPixel(picture, 0, 0, 0)) << "alpha 0 shows the ground";
  EXPECT_EQ(0x0C0B0Au, DrawnIconPixel(picture, 1, 0, 0xFFFFFF)) << "alpha 255 hides it";
}

TEST(DecodeIconImage, PngImagesDecode) {
  IconPicture picture;
  ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(kSmallPng.data(), kSmallPng.size(), &picture));
  EXPECT_EQ(2, picture.width);
  EXPECT_EQ(3, picture.height);
  EXPECT_TRUE(picture.hasAlpha);
  EXPECT_EQ(0x80C86432u, picture.colors[0]);
  EXPECT_EQ(0xFF0A141Eu, picture.colors[1]);
}

TEST(DecodeIconImage, RefusesBlocksShorterThanTheyDeclareOrOutsideTheFormat) {
  Bytes good = IconImageBlock(16, 16, 8);
  auto with = [&](std::size_t at, std::uint32_t value, bool word = false) {
    Bytes block = good;
    word ? PutU16(block, at, value) : PutU32(block, at, value);
    return block;
  };
  Bytes pngCut(kSmallPng.begin(), kSmallPng.begin() + 40);
  Bytes pngHuge = kSmallPng;
  // A lying header chunk: width 2^20, big-endian.
  pngHuge[16] = 0x00; pngHuge[17] = 0x10; pngHuge[18] = 0x00; pngHuge[19] = 0x00;
  struct Case {
    const char* what;
    Bytes block;
  } cases[] = {
      {"empty", {}},
      {"header cut", Bytes(good.begin(), good.begin() + 39)},
      {"table cut", Bytes(good.begin(), good.begin() + 40 + 1023)},
      {"colour rows cut", Bytes(good.begin(), good.begin() + 40 + 1024 + 255)},
      {"biSize 12", with(0, 12)},
      {"biSize 108", with(0, 108)},
      {"width 0", with(4, 0)},
      {"width negative", with(4, static_cast<std::uint32_t>(-16))},
      {"width INT_MIN", with(4, 0x80000000u)},
      {"height 1 (no picture row)", with(8, 1)},
      {"height negative", with(8, static_cast<std::uint32_t>(-32))},
      {"height INT_MIN", with(8, 0x80000000u)},
      {"width past the limit", with(4, 32769)},
      {"bit count 2", with(14, 2, true)},
      {"bit count 0", with(14, 0, true)},
      {"bit count 64", with(14, 64, true)},
      {"compressed", with(16, 1)},
      {"biClrUsed near 2^32 on 24 bits: a table of 256 the block lacks", [] {
         Bytes block = IconImageBlock(16, 16, 24);
         PutU32(block, 32, 0xFFFFFFF0u);
         return block;
       }()},
      {"huge area from a small block", with(4, 30000)},
      {"PNG cut", pngCut},
      {"PNG lying about its size", pngHuge},
      {"PNG with an empty first image data chunk", [] {
         // Signature and header chunk, an empty IDAT, then the rest.
         Bytes png(kSmallPng.begin(), kSmallPng.begin() + 33);
         Append(png, Bytes{0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E});
         png.insert(png.end(), kSmallPng.begin() + 33, kSmallPng.end());
         return png;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IconPicture picture;
    picture.width = 99;
    EXPECT_NE(DecodeOutcome::kDecoded, DecodeIconImage(c.block.data(), c.block.size(), &picture));
    EXPECT_EQ(99, picture.width) << "unchanged";
  }
}

TEST(DecodeIconImage, MissingMaskLeavesThePictureOpaqueAndShortTablesGiveBlack) {
  Bytes table = {0, 0, 0xFF, 0};  // one entry: red
  HeaderFields fields;
  fields.width = 2;
  fields.height = 4;
  fields.bitCount = 4;
  fields.clrUsed = 1;
  Bytes block = InfoHeader(fields);
  Append(block, table);
  Append(block, Bytes{0x01, 0, 0, 0, 0x00, 0, 0, 0});  // no AND rows
  IconPicture picture;
  ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(block.data(), block.size(), &picture));
  EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 0, 0}), picture.mask);
  EXPECT_EQ(0xFFFF0000u, picture.colors[0]);
  EXPECT_EQ(0xFFFF0000u, picture.colors[2]);
  EXPECT_EQ(0xFF000000u, picture.colors[3]) << "index 1 beyond a table of 1";
}

TEST(StretchIconPicture, RepeatsAndDropsWholePixels) {
  IconPicture source;
  source.width = 2;
  source.height = 1;
  source.colors = {1, 2};
  source.mask = {0, 1};
  IconPicture wide;
  ASSERT_TRUE(StretchIconPicture(source, 4, 2, &wide));
  EXPECT_EQ((std::vector<std::uint32_t>{1, 1, 2, 2, 1, 1, 2, 2}), wide.colors);
  EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 1, 1, 0, 0, 1, 1}), wide.mask);
  IconPicture narrow;
  ASSERT_TRUE(StretchIconPicture(source, 1, 1, &narrow));
  EXPECT_EQ(1u, narrow.colors.size());
  EXPECT_FALSE(StretchIconPicture(source, 0, 1, &narrow));
  EXPECT_FALSE(StretchIconPicture(source, 70000, 1, &narrow));
}

TEST(BestIconEntry, NearestSizeThenNearestDepthFirstOfEquals) {
  struct Case {
    const char* what;
    std::vector<IconEntrySize> entries;
    int expected;
  } cases[] = {
      {"none", {}, -1},
      {"exact size wins over depth", {{16, 16, 32}, {32, 32, 4}, {48, 48, 32}}, 1},
      {"nearest depth among 32 x 32", {{32, 32, 4}, {32, 32, 8}, {32, 32, 24}}, 2},
      {"256 (0) far from 32", {{256, 256, 32}, {16, 16, 4}}, 1},
      {"first of equal distance", {{24, 24, 32}, {40, 40, 32}}, 0},
      {"depth above and below: first of equals", {{32, 32, 24}, {32, 32, 40}}, 0},
      {"same sum, other split: out of the depth choice", {{36, 32, 4}, {32, 36, 32}}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, BestIconEntry(c.entries.data(), c.entries.size(), 32, 32, 32)) << c.what;
  }
}

TEST(LookupIconIdFromDirectory, AnswersWithTheEntrysIdentifier) {
  Bytes group = GroupDirectory({{16, 16, 4, 0, 7}, {32, 32, 4, 0, 8}, {32, 32, 32, 0, 9}, {0, 0, 32, 0, 10}});
  EXPECT_EQ(9, LookupIconIdFromDirectory(group.data(), TRUE));
  EXPECT_EQ(8, LookupIconIdFromDirectoryEx(group.data(), TRUE, 32, 32, LR_MONOCHROME));
  EXPECT_EQ(10, LookupIconIdFromDirectoryEx(group.data(), TRUE, 256, 256, 0));
  // Of entries of one size, the depth nearest the display's, the first of
  // those: the largest image a PNG save takes is chosen so.
  Bytes alike = GroupDirectory({{0, 0, 64, 0, 14}, {0, 0, 32, 0, 11}, {0, 0, 32, 0, 12}});
  EXPECT_EQ(11, LookupIconIdFromDirectoryEx(alike.data(), TRUE, 256, 256, 0));
  EXPECT_EQ(0, LookupIconIdFromDirectory(group.data(), FALSE)) << "cursors not looked up";
  Bytes notIcons = group;
  PutU16(notIcons, 2, 2);
  EXPECT_EQ(0, LookupIconIdFromDirectory(notIcons.data(), TRUE));
  Bytes empty = GroupDirectory({});
  EXPECT_EQ(0, LookupIconIdFromDirectory(empty.data(), TRUE));
}

TEST(CreateIconFromResourceEx, MakesObjectsOfTheAskedSize) {
  Bytes block = IconImageBlock(16, 16, 8);
  struct Case {
    int width, height;
    UINT flags;
    int gotWidth, gotHeight;
  } cases[] = {{0, 0, 0, 16, 16}, {0, 0, LR_DEFAULTSIZE, 32, 32}, {48, 24, 0, 48, 24}, {16, 16, 0, 16, 16}};
  for (const Case& c : cases) {
    IconHandle icon(CreateIconFromResourceEx(block.data(), static_cast<DWORD>(block.size()), TRUE,
                                          0x30000, c.width, c.height, c.flags));
    ASSERT_TRUE(icon.IsValid());
    NativeIconPicture picture;
    ASSERT_TRUE(GetNativeIconPicture(icon.Get(), &picture));
    EXPECT_EQ(c.gotWidth, picture.width);
    EXPECT_EQ(c.gotHeight, picture.height);
  }
  IconHandle fromDefault(CreateIconFromResource(block.data(), static_cast<DWORD>(block.size()), TRUE, 0x30000));
  EXPECT_TRUE(fromDefault.IsValid());
  EXPECT_EQ(nullptr, CreateIconFromResourceEx(block.data(), 39, TRUE, 0x30000, 0, 0, 0));
  EXPECT_EQ(nullptr, CreateIconFromResourceEx(nullptr, 0, TRUE, 0x30000, 0, 0, 0));
  EXPECT_EQ(FALSE, DestroyIcon(nullptr));
  NativeIconPicture none;
  EXPECT_EQ(FALSE, GetNativeIconPicture(nullptr, &none));
}

TEST(ExtractIconA, FirstIconOfIconFilesAndModules) {
  TempDir dir;
  std::string icon = dir.Write("a.ico", IconFile({IconImageBlock(16, 16, 4), IconImageBlock(32, 32, 8)}));
  std::string module = dir.Write("m.dll", RandomAccessFile(IconResources(5, "", {IconImageBlock(48, 48, 4)}, 1)));
  std::string noIcons = dir.Write("n.dll", RandomAccessFile({{3, "", 1, IconImageBlock(16, 16, 4)}}));
  std::string text = dir.Write("t.ico", Bytes{'n', 'o', 'p', 'e', '!', '!', '!'});
  std::string cutIcon = dir.Write("c.ico", Bytes{0, 0, 1, 0, 5, 0, 16, 16});
  for (const std::string& path : {icon, module}) {
    SCOPED_TRACE(path);
    IconHandle extracted(ExtractIconA(nullptr, path.c_str(), 0));
    NativeIconPicture picture;
    ASSERT_TRUE(GetNativeIconPicture(extracted.Get(), &picture));
    EXPECT_EQ(32, picture.width);
  }
  EXPECT_EQ(nullptr, ExtractIconA(nullptr, noIcons.c_str(), 0));
  EXPECT_EQ(nullptr, ExtractIconA(nullptr, cutIcon.c_str(), 0));
  EXPECT_EQ(nullptr, ExtractIconA(nullptr, dir.Path("missing").c_str(), 0));
  HICON notIcon = ExtractIconA(nullptr, text.c_str(), 0);
  EXPECT_EQ(reinterpret_cast<HICON>(1), notIcon);
  EXPECT_EQ(FALSE, DestroyIcon(notIcon)) << "the 1 is no icon";
}

TEST(CompareListText, OrdersAsTheSortedListBox) {
  // Each text sorts before the next; pairs taken from CompareStringA under Wine.
  const char* ordered[][2] = {
      {"Icon [10]", "Icon [2]"}, {"Icon [1]", "Icon [A]"}, {"Icon [_A]", "Icon [A]"},
      {"ab", "a-b"},             {"a'b", "a-b"},           {"ab-", "a-b"},
      {"a-b", "-ab"},            {"a-b", "a--b"},          {"a b", "ab"},
      {"a\x01" "b", "a-b"},      {"a", "a-"},              {"a-b", "ac"},
      {"a+", "a0"},             {"a~", "a+"},
  };
  for (const auto& pair : ordered) {
    EXPECT_LT(CompareListText(pair[0], pair[1]), 0) << pair[0] << " < " << pair[1];
    EXPECT_GT(CompareListText(pair[1], pair[0]), 0) << pair[1] << " > " << pair[0];
  }
  EXPECT_EQ(0, CompareListText("Icon [a]", "ICON [A]"));
  EXPECT_EQ(0, CompareListText("", nullptr));
}

}  // namespace
