// Bitmap file reading over the input's bytes, saving what was read as a
// bitmap file again (the writer only writes files) and reading it back, and the
// bitmap turned into an icon image of every depth, stretched and not: the
// image made must bind as any image read from a file does.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "core/icon_from_bitmap.h"
#include "fuzz_support.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "bitmap into icon broke: %s\n", what);
    std::abort();
  }
}

void IntoEveryDepth(const BITMAPINFOHEADER* dib) {
  for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
    for (BOOL stretch : {TRUE, FALSE}) {
      IconImage image = {};
      image.width = stretch ? 32 : 20;
      image.height = stretch ? 32 : 40;
      image.bitsPerPixel = depth;
      if (!IconImageFromDib(&image, dib, stretch)) continue;
      IconImage bound = image;
      Check(BindImagePointers(&bound) == 1, "the image made does not bind");
      Check(bound.width == image.width && bound.height == image.height &&
                bound.bitsPerPixel == depth && bound.andBits == image.andBits,
            "the image made binds otherwise");
      std::free(image.bits);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  HeapPtr<BITMAPINFOHEADER> read = ReadBitmapFile(ByteView(data, size), size).Take();
  if (!read) return 0;
  const BITMAPINFOHEADER* dib = read.get();
  IntoEveryDepth(dib);
  // As the colour rows of an icon image: the header counts mask rows too,
  // which a height past half its range can't (rows of 0 bits cost no bytes).
  if (dib->biHeight > INT32_MAX / 2 || dib->biHeight < INT32_MIN / 2) return 0;
  std::size_t bytes = 40 + DibPaletteBytes(dib) + std::size_t(DibStride(dib)) * dib->biHeight;
  auto* image = static_cast<BITMAPINFOHEADER*>(std::malloc(bytes));
  std::memcpy(image, dib, bytes);
  image->biHeight *= 2;
  std::string copy = FuzzOutputPath("bmp");
  if (SaveBitmapFile(copy.c_str(), image)) {
    BITMAPINFOHEADER* back = LoadBitmapFile(copy.c_str());
    if (back == nullptr || std::memcmp(back, dib, bytes) != 0) {
      std::fprintf(stderr, "bitmap round trip broke\n");
      std::abort();
    }
    std::free(back);
    std::remove(copy.c_str());
  }
  std::free(image);
  return 0;
}
