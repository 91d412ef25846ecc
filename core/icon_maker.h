// Icons and cursors made from pictures: each size asked for is an input
// picture of that size as it is, or one scaled down (the thumbnail's scaler:
// linear light, weighted by alpha) from the nearest larger input, stored the
// way every Windows version reads it.
#pragma once

#include <cstdint>
#include <vector>

#include "codecs/rgba_picture.h"
#include "formats/icon_directory.h"
#include "icon_group.h"

// One picture to make images from; `depth`, the bits a pixel of the image it
// came from (an icon's image), decides among inputs of one size.
struct MakerInput {
  RgbaPicture picture;
  std::int32_t depth = 32;
  icon_directory::HotSpot hotSpot{};
};

// How the images are stored: PNG-compressed from a side of 256 (what
// Windows Vista and later read, and what keeps those large), 32-bit bitmaps
// below it (what every reader takes); or all of them one way.
enum class ImageStorage { kBySize, kAllPng, kAllBitmap };

struct IconRecipe {
  // The squares to make; empty: each input is one image as it is.
  std::vector<std::int32_t> sizes;
  bool enlarge = false;  // a size above every input is scaled up from the largest
  ImageStorage storage = ImageStorage::kBySize;
  bool cursor = false;  // hot spots kept, and scaled with their pictures
};

// The sizes Windows asks for at its scales and views.
std::vector<std::int32_t> WindowsIconSizes();

// The sizes to make of one picture when none were asked for: Windows' sizes
// up to its larger side (all of them with `enlarge`); the picture's own when
// it is smaller than all of them.
std::vector<std::int32_t> DefaultSizes(const RgbaPicture& picture, bool enlarge);

enum class MakeFailure {
  kNone,
  kNoInput,
  kSizeAboveInputs,  // `size` is larger than every input, and no enlarging
  kOutOfMemory,      // or a picture past the limits
};

struct MadeIcon {
  IconGroupPtr group;
  MakeFailure failure = MakeFailure::kNone;
  std::int32_t size = 0;
};

// The images of the recipe, the largest first and, of one size, the deepest
// source first, as Windows' own icons order them.
MadeIcon MakeIcon(const std::vector<MakerInput>& inputs, const IconRecipe& recipe);
