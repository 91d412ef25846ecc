// Bitmap file reading, and saving what was read as a bitmap again.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  const std::string& path = WriteFuzzInput(data, size, "bmp");
  BITMAPINFOHEADER* dib = LoadBitmapFile(path.c_str());
  if (dib == nullptr) return 0;
  // As the colour rows of an icon image: the header counts mask rows too.
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
  std::free(dib);
  return 0;
}
