// The native platform's icon decoding: CreateIconFromResourceEx on any block
// (PNG images included) at its own size, the display's size and a size taken
// from the input; the picture drawn; the forms Save and Copy make of it with
// its transparency (PNG, a DIB of version 5); and the best-fit choice over
// the same bytes read as a group-icon directory; a PNG decoded the quick way
// gives what stb_image gives.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/clipboard_images.h"
#include "core/png_file.h"
#include "platform/platform.h"
#include "platform/posix/icon_best_fit.h"
#include "codecs/icon_picture.h"
#include "codecs/png_decoder.h"

namespace {

void Draw(HICON icon) {
  NativeIconPicture picture;
  if (!GetNativeIconPicture(icon, &picture)) return;
  volatile std::uint32_t last = picture.colors[picture.width * picture.height - 1];
  volatile std::uint8_t mask = picture.mask[picture.width * picture.height - 1];
  (void)last;
  (void)mask;
}

void Create(const std::uint8_t* data, std::size_t size, int width, int height, UINT flags) {
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data), static_cast<DWORD>(size), TRUE,
                                        0x30000, width, height, flags);
  if (icon == nullptr) return;
  Draw(icon);
  DestroyIcon(icon);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Create(data, size, 0, 0, 0);
  Create(data, size, 0, 0, LR_DEFAULTSIZE);
  // The last byte picks a size up to 64 x 64, for stretching both ways.
  if (size != 0) Create(data, size, 1 + data[size - 1] % 64, 1 + data[size - 1] / 4 % 64, 0);

  IconPicture picture;
  if (DecodeIconImage(data, size, &picture) == DecodeOutcome::kDecoded) {
    volatile std::uint32_t drawn =
        DrawnIconPixel(picture, picture.width - 1, picture.height - 1, 0xFFFFFF);
    (void)drawn;
    // Real icons are at most 256 x 256; encoding larger pictures only slows
    // the search down.
    if (std::int64_t{picture.width} * picture.height <= 256 * 256) {
      IconImage image{};
      image.bits = const_cast<BYTE*>(data);
      image.byteCount = static_cast<std::uint32_t>(size);
      std::vector<std::uint8_t> png, dib;
      IconImageAsPng(&image, &png);
      IconImageAsDibV5(&image, &dib);
    }
  }

  RgbaPicture quick, general;
  const DecodeOutcome decoded = DecodePng(data, size, &quick);
  if (decoded != DecodePngForDifferential(data, size, &general) ||
      (decoded == DecodeOutcome::kDecoded && quick.pixels != general.pixels)) {
    __builtin_trap();
  }

  volatile std::uint16_t id = BestGroupIconId(data, size, 32, 32, 32);
  (void)id;
  return 0;
}
