// The nine-slice build and the transparent draw on memory surfaces, with a
// strip whose every pixel tells where it came from.
#include "controls/nine_slice.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "controls/offscreen_dc.h"
#include "controls/skin_button.h"
#include "memory_surface.h"

namespace {

const SkinMargins kMargins{5, 5, 5, 4};

TEST(NineSlice, WorkedExampleFocusedImageOf68x23) {
  const NineSlicePieces pieces = LayOutNineSlice(275, 22, 5, 3, 68, 23, kMargins);
  const SlicePiece expected[9] = {
      {0, 0, 5, 5, 165, 0, 5, 5},         {0, 18, 5, 5, 165, 17, 5, 5},     {64, 0, 4, 5, 216, 0, 4, 5},
      {64, 18, 4, 5, 216, 17, 4, 5},      {5, 5, 59, 13, 170, 5, 46, 12},   {5, 0, 59, 5, 170, 0, 46, 5},
      {5, 18, 59, 5, 170, 17, 46, 5},     {0, 5, 5, 13, 165, 5, 5, 12},     {64, 5, 4, 13, 216, 5, 4, 12},
  };
  for (int i = 0; i < 9; ++i) {
    const SlicePiece& p = pieces[i];
    const SlicePiece& e = expected[i];
    EXPECT_EQ((std::array<int, 8>{p.x, p.y, p.width, p.height, p.srcX, p.srcY, p.srcWidth, p.srcHeight}),
              (std::array<int, 8>{e.x, e.y, e.width, e.height, e.srcX, e.srcY, e.srcWidth, e.srcHeight}))
        << "piece " << i + 1;
  }
}

TEST(NineSlice, SliceWidthIsTruncated) {
  const struct {
    int slices, slice, x0;
  } cases[] = {{4, 3, 204}, {5, 3, 165}, {5, 0, 0}, {1, 0, 0}, {6, 2, 90}};
  for (const auto& c : cases) {
    EXPECT_EQ(LayOutNineSlice(275, 22, c.slices, c.slice, 68, 23, kMargins)[0].srcX, c.x0)
        << c.slices << " slices, slice " << c.slice;
  }
}

// A strip pixel encodes its own coordinates: red = x mod 256, green = y,
// blue = x / 256.
std::uint32_t StripPixel(int x, int y) { return static_cast<std::uint32_t>((x & 0xFF) << 16 | y << 8 | x >> 8); }

TEST(NineSlice, EveryPixelComesFromItsPiecesSourceRectangle) {
  MemorySurface strip(275, 22);
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 275; ++x) strip.Set(x, y, StripPixel(x, y));
  }
  MemorySurface image(68, 23);
  const NineSlicePieces pieces = LayOutNineSlice(275, 22, 5, 3, 68, 23, kMargins);
  ASSERT_TRUE(DrawNineSlice(image.Dc(), strip.Dc(), pieces));

  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 68; ++x) {
      const SlicePiece* piece = nullptr;
      for (const SlicePiece& p : pieces) {
        if (x >= p.x && x < p.x + p.width && y >= p.y && y < p.y + p.height) piece = &p;
      }
      ASSERT_NE(piece, nullptr) << x << "," << y;
      const std::uint32_t v = image.Get(x, y);
      const int sx = static_cast<int>((v >> 16 & 0xFF) | (v & 0xFF) << 8);
      const int sy = static_cast<int>(v >> 8 & 0xFF);
      EXPECT_TRUE(sx >= piece->srcX && sx < piece->srcX + piece->srcWidth && sy >= piece->srcY &&
                  sy < piece->srcY + piece->srcHeight)
          << "pixel " << x << "," << y << " from " << sx << "," << sy;
    }
  }
  // Corners are copied pixel for pixel.
  EXPECT_EQ(image.Get(0, 0), StripPixel(165, 0));
  EXPECT_EQ(image.Get(4, 4), StripPixel(169, 4));
  EXPECT_EQ(image.Get(64, 0), StripPixel(216, 0));
  EXPECT_EQ(image.Get(67, 22), StripPixel(219, 21));
  EXPECT_EQ(image.Get(0, 18), StripPixel(165, 17));
}

TEST(TransparentDraw, TransparentPixelsKeepTheTarget) {
  const std::uint32_t kMagenta = 0xFF00FF, kGreen = 0x00FF00, kBlue = 0x0000FF;
  MemorySurface image(8, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) image.Set(x, y, (x + y) % 3 == 0 ? kMagenta : kBlue + static_cast<std::uint32_t>(x));
  }
  MemorySurface target(8, 4);
  target.Fill(kGreen);
  HBITMAP bitmap = image.Release();
  DrawTransparent(target.Dc(), bitmap, 8, 4, RGB(255, 0, 255));
  DeleteObject(bitmap);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(target.Get(x, y), (x + y) % 3 == 0 ? kGreen : kBlue + static_cast<std::uint32_t>(x))
          << x << "," << y;
    }
  }
}

TEST(OffscreenDc, ReachesTheTargetOnlyWhenItGoes) {
  MemorySurface target(16, 12);
  target.Fill(0xFFFFFF);
  const RECT area{2, 3, 10, 8};
  {
    COffscreenDC offscreen(target.Dc(), area);
    CBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(offscreen, &area, red);
    EXPECT_EQ(target.Get(5, 5), 0xFFFFFFu) << "drawn before the offscreen surface went";
  }
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool inside = x >= 2 && x < 10 && y >= 3 && y < 8;
      EXPECT_EQ(target.Get(x, y), inside ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;
    }
  }
}

TEST(SkinFace, StateBitsChooseTheImages) {
  const struct {
    UINT state;
    int first, second, count;
    bool shift, gray;
  } cases[] = {
      {0, Normal, 0, 1, false, false},
      {ODS_FOCUS, Focused, 0, 1, false, false},
      {ODS_FOCUS | ODS_SELECTED, Focused, Pressed, 2, true, false},
      {ODS_DISABLED, Disabled, 0, 1, false, true},
      {ODS_SELECTED, Normal, 0, 1, false, false},
      {ODS_SELECTED | ODS_DISABLED, Disabled, 0, 1, false, true},
      {ODS_FOCUS | ODS_DISABLED, Focused, 0, 1, false, false},
      {ODS_CHECKED | ODS_GRAYED | ODS_DEFAULT, Normal, 0, 1, false, false},
  };
  for (const auto& c : cases) {
    SkinFace face = ChooseSkinFace(c.state);
    EXPECT_EQ(face.imageCount, c.count) << "state " << c.state;
    EXPECT_EQ(face.images[0], c.first) << "state " << c.state;
    if (c.count == 2) {
      EXPECT_EQ(face.images[1], c.second) << "state " << c.state;
    }
    EXPECT_EQ(face.shiftCaption, c.shift) << "state " << c.state;
    EXPECT_EQ(face.grayCaption, c.gray) << "state " << c.state;
  }
}

TEST(CaptionFont, LogicalFontAsTheButtonUsesIt) {
  CCaptionFont font("宋体");
  EXPECT_NE(font.GetSafeHandle(), nullptr);
  EXPECT_EQ(font.m_lf.lfHeight, -12);
  EXPECT_EQ(font.m_lf.lfWeight, 400);
  EXPECT_EQ(font.m_lf.lfCharSet, 1);
  EXPECT_EQ(font.m_lf.lfQuality, 2);
  EXPECT_EQ(font.m_lf.lfPitchAndFamily, 0x12);
  EXPECT_STREQ(font.m_lf.lfFaceName, "\xCB\xCE\xCC\xE5");  // GBK
  EXPECT_EQ(font.TextColor(), 0u);
}

TEST(SkinButton, ConstructedUnskinnedWithItsDefaults) {
  CSkinButton button;
  EXPECT_EQ(button.m_bSkinned, 0);
  EXPECT_EQ(button.m_nTop, 8);
  EXPECT_EQ(button.m_nBottom, 8);
  EXPECT_EQ(button.m_nLeft, 8);
  EXPECT_EQ(button.m_nRight, 17);
  EXPECT_EQ(button.m_crTransparent, RGB(255, 0, 255));
  ASSERT_NE(button.m_pFont, nullptr);
}

}  // namespace
