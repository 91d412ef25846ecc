#include "icon_best_fit.h"

namespace {

std::uint32_t Distance(std::int32_t a, std::int32_t b) {
  return a > b ? static_cast<std::uint32_t>(a - b) : static_cast<std::uint32_t>(b - a);
}

std::uint16_t U16At(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

int BestIconEntry(const IconEntrySize* entries, std::size_t count, std::int32_t width,
                  std::int32_t height, std::int32_t depth) {
  if (entries == nullptr || count == 0) return -1;
  std::uint32_t bestWidthDiff = 0, bestHeightDiff = 0;
  std::uint32_t bestTotal = UINT32_MAX;
  for (std::size_t i = 0; i < count && bestTotal != 0; ++i) {
    std::uint32_t widthDiff = Distance(width, entries[i].width);
    std::uint32_t heightDiff = Distance(height, entries[i].height);
    if (widthDiff + heightDiff < bestTotal) {
      bestWidthDiff = widthDiff;
      bestHeightDiff = heightDiff;
      bestTotal = widthDiff + heightDiff;
    }
  }
  int best = -1;
  std::uint32_t bestDepthDiff = UINT32_MAX;
  for (std::size_t i = 0; i < count; ++i) {
    if (Distance(width, entries[i].width) != bestWidthDiff ||
        Distance(height, entries[i].height) != bestHeightDiff) {
      continue;
    }
    std::uint32_t depthDiff = Distance(depth, entries[i].bitCount);
    if (depthDiff < bestDepthDiff) {
      best = static_cast<int>(i);
      bestDepthDiff = depthDiff;
    }
  }
  return best;
}

std::size_t ReadGroupIconSizes(const std::uint8_t* group, std::size_t length,
                               IconEntrySize* sizes, std::size_t capacity) {
  if (group == nullptr || length < kGroupIconHeaderBytes) return 0;
  if (U16At(group, 0) != 0 || U16At(group, 2) != 1) return 0;
  std::size_t count = U16At(group, 4);
  std::size_t read = 0;
  for (; read < count && read < capacity; ++read) {
    std::size_t at = kGroupIconHeaderBytes + read * kGroupIconEntryBytes;
    if (at > length || kGroupIconEntryBytes > length - at) break;
    IconEntrySize& size = sizes[read];
    size.width = group[at];
    size.height = group[at + 1];
    if (size.width == 0 && size.height == 0) size.width = size.height = 256;
    size.bitCount = U16At(group, at + 6);
  }
  return read;
}

std::uint16_t GroupIconEntryId(const std::uint8_t* group, std::size_t index) {
  return U16At(group, kGroupIconHeaderBytes + index * kGroupIconEntryBytes + 12);
}
