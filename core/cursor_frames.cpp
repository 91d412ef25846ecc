#include "cursor_frames.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The record's pointers into its block, moved to the same places of `bits`.
void MoveInto(IconImage* image, BYTE* bits) {
  const auto moved = [image, bits](auto* pointer) {
    using Pointer = decltype(pointer);
    return pointer == nullptr ? nullptr
                              : reinterpret_cast<Pointer>(bits + (reinterpret_cast<BYTE*>(pointer) - image->bits));
  };
  image->header = moved(image->header);
  image->xorBits = moved(image->xorBits);
  image->andBits = moved(image->andBits);
  image->bits = bits;
  image->sharesBits = false;
}

}  // namespace

std::uint32_t FrameCount(const IconGroup& group) {
  if (group.imageCount == 0) return 0;
  return group.animated ? group.images[group.imageCount - 1].frame + 1 : 1;
}

FrameSpan FrameImages(const IconGroup& group, std::uint32_t frame) {
  if (!group.animated) return frame == 0 ? FrameSpan{0, group.imageCount} : FrameSpan{};
  // Frames are held in order: a search finds one among tens of thousands.
  const IconImage* end = group.images + group.imageCount;
  const auto before = [](const IconImage& image, std::uint32_t value) { return image.frame < value; };
  const auto after = [](std::uint32_t value, const IconImage& image) { return value < image.frame; };
  const IconImage* first = std::lower_bound(group.images, end, frame, before);
  const IconImage* last = std::upper_bound(first, end, frame, after);
  return {static_cast<std::uint32_t>(first - group.images), static_cast<std::uint32_t>(last - first)};
}

IconGroupPtr FrameGroup(const IconGroup& group, std::uint32_t frame) {
  const FrameSpan span = FrameImages(group, frame);
  if (span.count == 0) return nullptr;
  IconGroupPtr made(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(span.count))));
  if (!made) return nullptr;
  std::memcpy(made->iconPath, group.iconPath, sizeof made->iconPath);
  std::memcpy(made->modulePath, group.modulePath, sizeof made->modulePath);
  made->cursor = group.cursor;
  for (std::uint32_t i = 0; i < span.count; ++i) {
    IconImage image = group.images[span.first + i];
    image.frame = 0;
    if (image.bits == nullptr) {
      made->images[made->imageCount++] = image;
      continue;
    }
    BYTE* bits = static_cast<BYTE*>(std::malloc(image.byteCount ? image.byteCount : 1));
    if (bits == nullptr) return nullptr;
    if (image.byteCount != 0) std::memcpy(bits, image.bits, image.byteCount);
    MoveInto(&image, bits);
    made->images[i] = image;
    ++made->imageCount;  // its block is now the group's to free
  }
  return made;
}
