// Speed of the pixel conversion: a 256 x 256 24-bit bitmap stretched into a
// 32 x 32 4-bit icon image (the conversion of the bitmap branch of opening a
// file), and same-size conversions into 8 bits, where every pixel is matched
// against the 256 halftone colours.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/dib.h"
#include "core/dib_reformat.h"
#include "core/icon_from_bitmap.h"

namespace {

std::vector<BYTE> Picture(LONG width, LONG height, WORD bitCount) {
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  std::vector<BYTE> block(40 + std::size_t(DibStride(&header)) * height);
  std::uint32_t state = 2463534242u;
  for (BYTE& b : block) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = BYTE(state >> 24);
  }
  std::memcpy(block.data(), &header, sizeof header);
  return block;
}

void StretchIntoIconImage(benchmark::State& state) {
  std::vector<BYTE> bitmap = Picture(256, 256, 24);
  const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data());
  for (auto _ : state) {
    IconImage image{};
    image.width = 32;
    image.height = 32;
    image.bitsPerPixel = 4;
    if (!IconImageFromDib(&image, dib, TRUE)) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(image.bits);
    std::free(image.bits);
  }
}
BENCHMARK(StretchIntoIconImage)->Name("icon image 32x32x4 from 256x256x24, stretched");

void SameSize(benchmark::State& state) {
  const auto from = WORD(state.range(0));
  const auto to = WORD(state.range(1));
  std::vector<BYTE> bitmap = Picture(256, 256, from);
  const auto* dib = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data());
  for (auto _ : state) {
    BITMAPINFOHEADER* result = ReformatDib(dib, 256, 256, to, TRUE);
    if (result == nullptr) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(result);
    std::free(result);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(SameSize)
    ->Name("256x256 same size")
    ->ArgNames({"from", "to"})
    ->Args({32, 8})
    ->Args({24, 4})
    ->Args({8, 32});

}  // namespace

BENCHMARK_MAIN();
