#include "png_image.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "formats/png_header.h"
#include "dib.h"
#include "formats/input_limits.h"
#include "codecs/png_decoder.h"

namespace {

bool Fail(PngFailure reason, PngFailure* failure) {
  if (failure != nullptr) *failure = reason;
  return false;
}

}  // namespace

bool DecodePngPicture(const BYTE* block, std::size_t length, std::vector<std::uint8_t>* rgba,
                      std::int32_t* width, std::int32_t* height, PngFailure* failure) {
  png::Header png;
  if (!png::ReadHeader(ByteView(block, length), &png)) return Fail(PngFailure::kUndecodable, failure);
  if (!limits::PixelsFit(png.width, png.height)) return Fail(PngFailure::kTooLarge, failure);
  if (!DecodePngRgba(block, length, png.width, png.height, rgba)) return Fail(PngFailure::kUndecodable, failure);
  *width = png.width;
  *height = png.height;
  return true;
}

BITMAPINFOHEADER* DecodePngToDib(const BYTE* block, std::size_t length, PngFailure* failure) {
  std::vector<std::uint8_t> rgba;
  std::int32_t width = 0, height = 0;
  if (!DecodePngPicture(block, length, &rgba, &width, &height, failure)) return nullptr;
  const std::size_t stride = std::size_t(width) * 4;
  auto* dib = static_cast<BITMAPINFOHEADER*>(std::malloc(sizeof(BITMAPINFOHEADER) + rgba.size()));
  if (dib == nullptr) {
    Fail(PngFailure::kTooLarge, failure);
    return nullptr;
  }
  std::memset(dib, 0, sizeof *dib);
  dib->biSize = sizeof(BITMAPINFOHEADER);
  dib->biWidth = width;
  dib->biHeight = height;
  dib->biPlanes = 1;
  dib->biBitCount = 32;
  BYTE* rows = DibPixels(dib);
  for (int y = 0; y < height; ++y) {
    // PNG runs top-down, a DIB bottom-up.
    const std::uint8_t* from = rgba.data() + std::size_t(height - 1 - y) * stride;
    BYTE* to = rows + std::size_t(y) * stride;
    for (int x = 0; x < width; ++x) {
      to[4 * x + 0] = from[4 * x + 2];
      to[4 * x + 1] = from[4 * x + 1];
      to[4 * x + 2] = from[4 * x + 0];
      to[4 * x + 3] = from[4 * x + 3];
    }
  }
  return dib;
}
