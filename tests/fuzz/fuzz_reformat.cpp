// Pixel conversion of a packed DIB taken from outside: the first four bytes
// choose the target's width and height, the rest is the source block (header,
// colour table, rows) exactly as long as the input gives it. Each source is
// converted to every depth, stretched and not.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/dib_reformat.h"

namespace {

constexpr WORD kDepths[] = {1, 4, 8, 16, 24, 32};

// Small targets keep an input fast; a zero gives 1, which is also the edge
// case of the stretch maps. 255 + 1 lets a target be larger than a source.
LONG TargetLength(std::uint8_t low, std::uint8_t high) {
  return 1 + ((low | high << 8) % 256);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4 + sizeof(BITMAPINFOHEADER)) return 0;
  const LONG width = TargetLength(data[0], data[1]);
  const LONG height = TargetLength(data[2], data[3]);
  // A block of its own, exactly as long as the source, so that the
  // sanitizers see any read past its end.
  const std::size_t sourceBytes = size - 4;
  auto* source = static_cast<BITMAPINFOHEADER*>(std::malloc(sourceBytes));
  if (source == nullptr) return 0;
  std::memcpy(source, data + 4, sourceBytes);
  for (WORD depth : kDepths) {
    for (BOOL stretch : {FALSE, TRUE}) {
      std::free(ReformatDibBlock(source, sourceBytes, width, height, depth, stretch));
    }
  }
  std::free(source);
  return 0;
}
