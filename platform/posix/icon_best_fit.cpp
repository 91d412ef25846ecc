#include "icon_best_fit.h"

#include <new>
#include <vector>

namespace {

std::uint32_t Distance(std::int32_t a, std::int32_t b) {
  return a > b ? static_cast<std::uint32_t>(a - b) : static_cast<std::uint32_t>(b - a);
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

IconEntrySize EntrySize(const icon_directory::Entry& entry) {
  IconEntrySize size{entry.width, entry.height, entry.bitCount};
  if (size.width == 0 && size.height == 0) size.width = size.height = 256;
  return size;
}

std::size_t ReadGroupIconSizes(const std::uint8_t* group, std::size_t length,
                               IconEntrySize* sizes, std::size_t capacity) {
  if (group == nullptr) return 0;
  ByteCursor cursor(group, length);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header) || !icon_directory::IsIconHeader(header)) {
    return 0;
  }
  std::size_t read = 0;
  icon_directory::Entry entry;
  for (; read < header.count && read < capacity; ++read) {
    if (!icon_directory::ReadGroupEntry(cursor, &entry)) break;
    sizes[read] = EntrySize(entry);
  }
  return read;
}

std::uint16_t BestGroupIconId(const std::uint8_t* group, std::size_t length, std::int32_t width,
                              std::int32_t height, std::int32_t depth) try {
  std::vector<IconEntrySize> sizes(length / icon_directory::kGroupEntryBytes + 1);
  std::size_t read = ReadGroupIconSizes(group, length, sizes.data(), sizes.size());
  int best = BestIconEntry(sizes.data(), read, width, height, depth);
  icon_directory::Entry entry;
  if (best < 0 || !icon_directory::GroupEntryAt(ByteView(group, length), static_cast<std::size_t>(best), &entry)) {
    return 0;
  }
  return entry.resourceId;
} catch (const std::bad_alloc&) {
  return 0;
}
