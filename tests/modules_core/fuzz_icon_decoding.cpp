// libFuzzer target: the native platform's icon decoding (any block, PNG
// images included), stretching to the display's size, and the best-fit
// choice over the same bytes read as a group-icon directory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/posix/icon_best_fit.h"
#include "platform/posix/icon_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IconPicture picture;
  if (DecodeIconImage(data, size, &picture)) {
    IconPicture stretched;
    StretchIconPicture(picture, 32, 32, &stretched);
    volatile std::uint32_t drawn = DrawnIconPixel(picture, picture.width - 1, picture.height - 1, 0xFFFFFF);
    (void)drawn;
  }
  std::vector<IconEntrySize> sizes(64);
  std::size_t read = ReadGroupIconSizes(data, size, sizes.data(), sizes.size());
  int best = BestIconEntry(sizes.data(), read, 32, 32, 32);
  if (best >= 0) {
    volatile std::uint16_t id = GroupIconEntryId(data, static_cast<std::size_t>(best));
    (void)id;
  }
  return 0;
}
