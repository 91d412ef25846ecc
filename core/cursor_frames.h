// An animated cursor's frames within its group: each frame is a cursor of
// one or more images, held in the group frame after frame. Any other group
// is one frame of all its images.
#pragma once

#include <cstdint>

#include "icon_group.h"

// Where frame `frame`'s images lie in the group; count 0 when it has none.
struct FrameSpan {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

std::uint32_t FrameCount(const IconGroup& group);
FrameSpan FrameImages(const IconGroup& group, std::uint32_t frame);

// The frame's images as a group of their own (a cursor, not animated), each
// with a copy of its block: it outlives `group`. Null when the frame has no
// images or memory runs out.
IconGroupPtr FrameGroup(const IconGroup& group, std::uint32_t frame);
