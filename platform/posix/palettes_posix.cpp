// The stock default palette and halftone palettes of the native build, with
// the colours gdi32 gives (palette_tables.cpp).
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "gdi_objects_posix.h"
#include "palette_tables.h"
#include "win32_api.h"

namespace {

class PaletteObject : public NativeGdiObject {
 public:
  PaletteObject(bool isStock, std::vector<PALETTEENTRY> entries)
      : NativeGdiObject(isStock), entries_(std::move(entries)) {}
  const std::vector<PALETTEENTRY>& Entries() const { return entries_; }

 private:
  std::vector<PALETTEENTRY> entries_;
};

PALETTEENTRY EntryOf(const PaletteColour& colour) {
  return PALETTEENTRY{colour.red, colour.green, colour.blue, colour.flags};
}

PaletteObject& DefaultPalette() {
  static PaletteObject palette = [] {
    std::vector<PALETTEENTRY> entries;
    for (const PaletteColour& colour : kStaticColours) entries.push_back(EntryOf(colour));
    return PaletteObject(true, std::move(entries));
  }();
  return palette;
}

struct ScreenContext {};
ScreenContext theScreen;

HDC ScreenHandle() { return reinterpret_cast<HDC>(&theScreen); }

}  // namespace

HDC GetDC(HWND) { return ScreenHandle(); }

int ReleaseDC(HWND, HDC context) { return context == ScreenHandle() ? 1 : 0; }

HGDIOBJ GetStockObject(int which) {
  if (which == DEFAULT_PALETTE) return HandleOf<HGDIOBJ>(&DefaultPalette());
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (object == nullptr) return FALSE;
  NativeGdiObject* native = ObjectOf(object);
  if (!native->stock) delete native;
  return TRUE;
}

UINT GetPaletteEntries(HPALETTE palette, UINT first, UINT count, LPPALETTEENTRY entries) {
  if (palette == nullptr) return 0;
  const auto* object = dynamic_cast<const PaletteObject*>(ObjectOf(palette));
  if (object == nullptr) return 0;
  const std::vector<PALETTEENTRY>& held = object->Entries();
  if (entries == nullptr) return static_cast<UINT>(held.size());
  if (first >= held.size()) return 0;
  std::size_t copied = held.size() - first;
  if (count < copied) copied = count;
  for (std::size_t i = 0; i < copied; ++i) entries[i] = held[first + i];
  return static_cast<UINT>(copied);
}

HPALETTE CreateHalftonePalette(HDC) {
  std::vector<PALETTEENTRY> entries;
  for (std::size_t i = 0; i < kHalftoneColourCount; ++i)
    entries.push_back(EntryOf(HalftoneColour(i)));
  auto* palette = new (std::nothrow) PaletteObject(false, std::move(entries));
  return palette ? HandleOf<HPALETTE>(palette) : nullptr;
}
