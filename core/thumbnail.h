// Thumbnails of an icon, as file managers show them: one picture of at most
// side x side pixels, made from the image that needs the least scaling down.
#pragma once

#include <cstdint>
#include <vector>

#include "icon_group.h"

// The index of the image a thumbnail of `side` is made from: the smallest
// whose longer side is at least `side` (of those, the depth nearest 32 bits,
// then the first: DepthDistance), or when none is that large the largest
// (LargestImageIndex). -1 when the group has no image.
int ThumbnailImageIndex(const IconGroup* group, std::int32_t side);

// The image as a PNG stream of straight RGBA no larger than side x side: its
// own size when it fits, else scaled down to fit, keeping its aspect ratio.
// False when it can't be decoded or memory runs out.
bool ThumbnailPng(const IconImage* image, std::int32_t side, std::vector<std::uint8_t>* png);

// Writes the group's thumbnail as a PNG file once it is complete, into the
// file that is there (the one a thumbnail service made and reads back), else
// a new one. Failures are shown with the path as caption; 0 without a
// message when the group has no image. 1 or 0.
int SaveThumbnail(const IconGroup* group, std::int32_t side, const char* path);
