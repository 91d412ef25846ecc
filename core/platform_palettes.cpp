#include "platform_palettes.h"

#include <utility>

namespace {

// The screen's device context, released when the scope ends.
class ScreenContext {
 public:
  ScreenContext() : context_(GetDC(nullptr)) {}
  ~ScreenContext() {
    if (context_ != nullptr) ReleaseDC(nullptr, context_);
  }
  ScreenContext(const ScreenContext&) = delete;
  ScreenContext& operator=(const ScreenContext&) = delete;
  HDC Get() const { return context_; }

 private:
  HDC context_;
};

// A palette this code made, deleted with its owner.
class OwnedPalette {
 public:
  explicit OwnedPalette(HPALETTE palette) : palette_(palette) {}
  ~OwnedPalette() {
    if (palette_ != nullptr) DeleteObject(palette_);
  }
  OwnedPalette(OwnedPalette&& other) noexcept : palette_(std::exchange(other.palette_, nullptr)) {}
  OwnedPalette(const OwnedPalette&) = delete;
  OwnedPalette& operator=(const OwnedPalette&) = delete;
  OwnedPalette& operator=(OwnedPalette&&) = delete;
  HPALETTE Get() const { return palette_; }

 private:
  HPALETTE palette_;
};

template <unsigned Count>
int ReadPalette(HPALETTE palette, RGBQUAD (&colors)[Count]) {
  PALETTEENTRY entries[Count] = {};
  if (palette == nullptr || GetPaletteEntries(palette, 0, Count, entries) != Count) return 0;
  for (unsigned i = 0; i < Count; ++i) {
    colors[i].rgbBlue = entries[i].peBlue;
    colors[i].rgbGreen = entries[i].peGreen;
    colors[i].rgbRed = entries[i].peRed;
    colors[i].rgbReserved = entries[i].peFlags;
  }
  return 1;
}

}  // namespace

int GetDefaultPaletteColors(RGBQUAD (&colors)[kDefaultPaletteColors]) {
  // A stock object: borrowed, never deleted.
  return ReadPalette(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), colors);
}

int GetHalftonePaletteColors(RGBQUAD (&colors)[kHalftonePaletteColors]) {
  ScreenContext screen;
  if (screen.Get() == nullptr) return 0;
  OwnedPalette halftone(CreateHalftonePalette(screen.Get()));
  return ReadPalette(halftone.Get(), colors);
}
