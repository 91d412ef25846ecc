// Which image of a group stands for it where one image is wanted by default
// (a PNG file, a thumbnail), decided once: each rule ranks the group's images,
// and the first of them whose picture can be made is taken, the ones before it
// passed over by name.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "codecs/decode_outcome.h"
#include "icon_group.h"
#include "messages.h"

// The longer of the image's sides: its size, as sizes are named.
std::int32_t LongerSide(const IconImage& image);

// The records below imageCount that hold a block, the largest first: most
// pixels, then the depth nearest 32 bits, then the first, as Windows' best
// fit takes one of images of one size. What a PNG file shows.
std::vector<std::uint32_t> ImagesLargestFirst(const IconGroup* group);

// The first of ImagesLargestFirst; -1 when the group has no image.
int LargestImageIndex(const IconGroup* group);

// The records that hold a block, for a thumbnail of `side`: those whose
// longer side is at least `side`, the smallest first (of those, the depth
// nearest 32 bits, then the first), then the rest, the largest first.
std::vector<std::uint32_t> ImagesForThumbnail(const IconGroup* group, std::int32_t side);

// The first of ImagesForThumbnail; -1 when the group has no image.
int ThumbnailImageIndex(const IconGroup* group, std::int32_t side);

// An image tried and left, and why its picture couldn't be made.
struct PassedOver {
  std::uint32_t image;
  std::int32_t width;
  std::int32_t height;
  DecodeOutcome outcome;
};

// A PNG stream made of one image of a group.
struct ChosenPng {
  std::vector<std::uint8_t> png;
  int image = -1;  // the image it shows; -1 when none was made
  // In order, the images tried before it; with none made, every image tried.
  std::vector<PassedOver> passedOver;
};

// Makes the stream of each image of `order` in turn until one is made.
using PngMaker = std::function<DecodeOutcome(const IconImage& image, std::vector<std::uint8_t>* png)>;
ChosenPng FirstPngMade(const IconGroup* group, const std::vector<std::uint32_t>& order, const PngMaker& make);

// What to tell of an image whose PNG stream couldn't be made.
Message PngFailureMessage(DecodeOutcome outcome);
