#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "platform/handles.h"
#include "core/clipboard_images.h"
#include "core/icon_handles.h"
#include "core/png_file.h"
#include "tests/module_icons/icon_size.h"
#include "tests/support/image_bytes.h"
#include "tests/support/owned_image.h"

namespace {

TEST(IconHandleFromImage, MakesAnIconOfTheSizeInsideTheBlock) {
  struct Case {
    const char* what;
    Bytes block;
    int width;
    int height;
  } cases[] = {
      {"32 x 32 at 4 bits", IconImageBlock(32, 32, 4), 32, 32},
      {"48 x 48 at 32 bits", IconImageBlock(48, 48, 32), 48, 48},
      {"16 x 16 at 16 bits", IconImageBlock(16, 16, 16), 16, 16},
      {"24 x 24 at 1 bit", IconImageBlock(24, 24, 1), 24, 24},
      {"PNG of 2 x 3", kSmallPng, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnedImage owned(c.block, /*bind=*/true);
    // The record's own fields do not count; the block's header does.
    if (owned.image.header != nullptr) owned.image.width = owned.image.height = 7;
    IconHandle icon(IconHandleFromImage(&owned.image));
    ASSERT_TRUE(icon.IsValid());
    EXPECT_EQ(c.width, IconWidth(icon.Get()));
    EXPECT_EQ(c.height, IconHeight(icon.Get()));
  }
}

TEST(IconHandleFromImage, GivesNullForNothingOrNoImage) {
  EXPECT_EQ(nullptr, IconHandleFromImage(nullptr));
  IconImage empty{};
  EXPECT_EQ(nullptr, IconHandleFromImage(&empty));
  Bytes shortHeader = IconImageBlock(16, 16, 8);
  shortHeader.resize(30);
  OwnedImage tooShort(shortHeader, /*bind=*/true);
  EXPECT_EQ(nullptr, IconHandleFromImage(&tooShort.image));
  Bytes cut = IconImageBlock(16, 16, 16);
  cut.resize(40 + 16 * 32 - 1);  // the colour rows are not all there
  OwnedImage cutSixteen(cut, /*bind=*/true);
  EXPECT_EQ(nullptr, IconHandleFromImage(&cutSixteen.image));
}

#ifdef _WIN32
// A 32 x 32 image of 4 bits behind a 12-byte core header, which user32 reads.
// Read as a 40-byte header it names 4194336 x 131072 pixels, a bitmap user32
// cannot make at that size; its bit count is then the first two colour-table
// bytes past offset 14, which the case chooses.
Bytes CoreHeaderBlock(std::uint16_t bitCountAsInfoHeader) {
  Bytes block;
  AppendU32(block, 12);
  AppendU16(block, 32);  // bcWidth
  AppendU16(block, 64);  // bcHeight: picture and mask
  AppendU16(block, 1);   // bcPlanes
  AppendU16(block, 4);   // bcBitCount
  for (int i = 0; i < 16 * 3 + 32 * 16 + 32 * 4; ++i) block.push_back(static_cast<std::uint8_t>(i * 5));
  PutU16(block, 14, bitCountAsInfoHeader);
  return block;
}

// Found by trying user32 under Wine: blocks that CreateIconFromResourceEx
// refuses at the size their header names while CreateIconFromResource takes
// them at the system's size. The native icon objects read 40-byte headers
// only and refuse both calls alike.
TEST(IconHandleFromImage, SecondTryAtTheSystemSizeExceptForSixteenBits) {
  const struct {
    const char* what;
    std::uint16_t bitCount;
    bool made;
  } cases[] = {
      {"header read as 4 bits", 4, true},
      {"header read as 32 bits", 32, true},
      {"header read as 16 bits", 16, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes block = CoreHeaderBlock(c.bitCount);
    std::int32_t width = static_cast<std::int32_t>(GetU32(block, 4));
    std::int32_t height = static_cast<std::int32_t>(GetU32(block, 8)) / 2;
    // The premise: the first call alone fails, the second alone succeeds.
    IconHandle first(CreateIconFromResourceEx(block.data(), static_cast<DWORD>(block.size()), TRUE, 0x30000,
                                              width, height, 0));
    IconHandle second(CreateIconFromResource(block.data(), static_cast<DWORD>(block.size()), TRUE, 0x30000));
    ASSERT_FALSE(first.IsValid());
    ASSERT_TRUE(second.IsValid());

    OwnedImage owned(block);
    IconHandle icon(IconHandleFromImage(&owned.image));
    EXPECT_EQ(c.made, icon.IsValid());
    if (icon.IsValid()) {
      EXPECT_EQ(GetSystemMetrics(SM_CXICON), IconWidth(icon.Get()));
      EXPECT_EQ(GetSystemMetrics(SM_CYICON), IconHeight(icon.Get()));
    }
  }
}

// The clipboard of the system, opened by the test with no window.
Bytes ClipboardBytes(UINT format) {
  Bytes bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  HANDLE data = GetClipboardData(format);
  if (data != nullptr) {
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(data));
    if (block) bytes.assign(block, block + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

Bytes ClipboardDib() { return ClipboardBytes(CF_DIB); }

// True when `placed` starts with `expected`: the clipboard may round a
// block's size up.
bool StartsWith(const Bytes& placed, const std::vector<std::uint8_t>& expected) {
  return !expected.empty() && placed.size() >= expected.size() &&
         std::equal(expected.begin(), expected.end(), placed.begin());
}

struct ClipboardWindow {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HWND previous = MessageOwner();
  ClipboardWindow() { SetMessageOwner(window); }
  ~ClipboardWindow() {
    SetMessageOwner(previous);
    if (window) DestroyWindow(window);
  }
};

TEST(CopyImageToClipboard, PlacesTheColourPictureAsADib) {
  ClipboardWindow owner;
  if (owner.window == nullptr) GTEST_SKIP() << "no window: no display";
  struct Case {
    const char* what;
    Bytes block;
    std::int32_t height;
  } cases[] = {
      {"32 x 32 at 4 bits", IconImageBlock(32, 32, 4), 32},
      {"held height 33", [] {
         HeaderFields fields;
         fields.width = 16;
         fields.height = 33;
         fields.bitCount = 24;
         Bytes block = InfoHeader(fields);
         block.resize(40 + 48 * 16 + 4 * 16, 0x42);
         return block;
       }(), 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnedImage owned(c.block, /*bind=*/true);
    ASSERT_EQ(1, CopyImageToClipboard(&owned.image));
    Bytes placed = ClipboardDib();
    ASSERT_GE(placed.size(), c.block.size());
    EXPECT_EQ(c.height, static_cast<std::int32_t>(GetU32(placed, 8)));
    Bytes expected = c.block;
    PutU32(expected, 8, static_cast<std::uint32_t>(c.height));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), placed.begin()));
  }
}

TEST(CopyImageToClipboard, AnImageWithoutBytesLeavesTheClipboardEmptied) {
  ClipboardWindow owner;
  if (owner.window == nullptr) GTEST_SKIP() << "no window: no display";
  OwnedImage first(IconImageBlock(16, 16, 4), /*bind=*/true);
  ASSERT_EQ(1, CopyImageToClipboard(&first.image));
  IconImage empty{};
  empty.bits = first.image.bits;
  empty.byteCount = 0;
  EXPECT_EQ(0, CopyImageToClipboard(&empty));
  EXPECT_TRUE(ClipboardDib().empty());
}

TEST(CopyImageToClipboard, APngImageIsPlacedDecoded) {
  ClipboardWindow owner;
  if (owner.window == nullptr) GTEST_SKIP() << "no window: no display";
  OwnedImage png(kSmallPng, /*bind=*/true);
  ASSERT_EQ(1, CopyImageToClipboard(&png.image));
  Bytes placed = ClipboardDib();
  ASSERT_GE(placed.size(), 40u + 2 * 3 * 4);
  EXPECT_EQ(40u, GetU32(placed, 0));
  EXPECT_EQ(2u, GetU32(placed, 4));
  EXPECT_EQ(3u, GetU32(placed, 8));
  EXPECT_EQ(32u, GetU16(placed, 14));
}

TEST(CopyImageToClipboard, PlacesThePictureWithItsTransparencyBesideTheDib) {
  ClipboardWindow owner;
  if (owner.window == nullptr) GTEST_SKIP() << "no window: no display";
  const UINT png = RegisterClipboardFormatA("PNG");
  ASSERT_NE(0u, png);
  const struct {
    const char* what;
    Bytes block;
  } cases[] = {
      {"4 bits, transparency from the mask", IconImageBlock(32, 32, 4)},
      {"32 bits, transparency from the alpha channel", IconImageBlock(16, 16, 32)},
      {"PNG, placed as stored", kSmallPng},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OwnedImage owned(c.block, /*bind=*/true);
    ASSERT_EQ(1, CopyImageToClipboard(&owned.image));
    std::vector<std::uint8_t> expectedPng, expectedDib;
    ASSERT_EQ(DecodeOutcome::kDecoded, IconImageAsPng(&owned.image, &expectedPng));
    ASSERT_TRUE(IconImageAsDibV5(&owned.image, &expectedDib));
    EXPECT_TRUE(StartsWith(ClipboardBytes(png), expectedPng));
    EXPECT_TRUE(StartsWith(ClipboardBytes(CF_DIBV5), expectedDib));
    EXPECT_FALSE(ClipboardDib().empty()) << "the DIB stays";
  }
}
#else
TEST(CopyImageToClipboard, TheNativeBuildHasNoClipboard) {
  OwnedImage owned(IconImageBlock(32, 32, 4), /*bind=*/true);
  EXPECT_EQ(0, CopyImageToClipboard(&owned.image));
}
#endif

}  // namespace
