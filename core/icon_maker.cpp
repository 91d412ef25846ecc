#include "icon_maker.h"

#include <algorithm>
#include <new>

#include "codecs/icon_dib.h"
#include "codecs/picture_scaling.h"
#include "codecs/png_encoder.h"
#include "group_builder.h"

namespace {

// From this side on an image is PNG-compressed: the entry's byte can't say
// it (0 stands for 256), and only readers that take PNG images read them.
constexpr std::int32_t kFirstPngSide = 256;

std::int64_t Pixels(const RgbaPicture& picture) { return std::int64_t{picture.width} * picture.height; }

// The inputs of exactly size x size, the deepest first (the first of equals).
const MakerInput* ExactInput(const std::vector<MakerInput>& inputs, std::int32_t size) {
  const MakerInput* found = nullptr;
  for (const MakerInput& input : inputs) {
    if (input.picture.width != size || input.picture.height != size) continue;
    if (found == nullptr || input.depth > found->depth) found = &input;
  }
  return found;
}

// The smallest input that covers the square, else (to enlarge) the largest.
const MakerInput* SourceFor(const std::vector<MakerInput>& inputs, std::int32_t size, bool enlarge) {
  const MakerInput* nearest = nullptr;
  const MakerInput* largest = nullptr;
  for (const MakerInput& input : inputs) {
    const RgbaPicture& picture = input.picture;
    if (largest == nullptr || Pixels(picture) > Pixels(largest->picture)) largest = &input;
    if (std::max(picture.width, picture.height) < size) continue;
    if (nearest == nullptr || Pixels(picture) < Pixels(nearest->picture)) nearest = &input;
  }
  return nearest != nullptr ? nearest : enlarge ? largest : nullptr;
}

// The picture scaled to fit the square, keeping its aspect ratio, centred
// on transparency; its hot spot moves with it.
bool ScaledInto(const MakerInput& from, std::int32_t size, MakerInput* made) {
  const RgbaPicture& picture = from.picture;
  const bool wide = picture.width >= picture.height;
  const std::int32_t fitWidth =
      wide ? size
           : std::max<std::int32_t>(1, static_cast<std::int32_t>(std::int64_t{size} * picture.width / picture.height));
  const std::int32_t fitHeight =
      wide ? std::max<std::int32_t>(1, static_cast<std::int32_t>(std::int64_t{size} * picture.height / picture.width))
           : size;
  std::vector<std::uint8_t> scaled;
  if (fitWidth == picture.width && fitHeight == picture.height) {
    scaled = picture.pixels;
  } else if (!ScaleRgba(picture.pixels.data(), picture.width, picture.height, fitWidth, fitHeight, &scaled)) {
    return false;
  }
  const std::int32_t left = (size - fitWidth) / 2, top = (size - fitHeight) / 2;
  made->picture.width = size;
  made->picture.height = size;
  made->picture.pixels.assign(std::size_t(size) * std::size_t(size) * 4, 0);
  for (std::int32_t y = 0; y < fitHeight; ++y) {
    std::copy_n(scaled.data() + std::size_t(y) * std::size_t(fitWidth) * 4, std::size_t(fitWidth) * 4,
                made->picture.pixels.data() + (std::size_t(top + y) * std::size_t(size) + std::size_t(left)) * 4);
  }
  made->depth = 32;
  const auto x = left + static_cast<std::int32_t>(std::int64_t{from.hotSpot.x} * fitWidth / picture.width);
  const auto y = top + static_cast<std::int32_t>(std::int64_t{from.hotSpot.y} * fitHeight / picture.height);
  made->hotSpot.x = static_cast<std::uint16_t>(std::min(x, size - 1));
  made->hotSpot.y = static_cast<std::uint16_t>(std::min(y, size - 1));
  return true;
}

bool StoredAsPng(const RgbaPicture& picture, ImageStorage storage) {
  if (storage != ImageStorage::kBySize) return storage == ImageStorage::kAllPng;
  return std::max(picture.width, picture.height) >= kFirstPngSide;
}

bool Encode(const RgbaPicture& picture, ImageStorage storage, std::vector<std::uint8_t>* block) {
  if (StoredAsPng(picture, storage)) return EncodePngRgba(picture.pixels.data(), picture.width, picture.height, block);
  return EncodeIconDib(picture, block);
}

// Largest first; of one size, the deepest source first; else as given.
void SortForDirectory(std::vector<const MakerInput*>* images) {
  std::stable_sort(images->begin(), images->end(), [](const MakerInput* a, const MakerInput* b) {
    if (Pixels(a->picture) != Pixels(b->picture)) return Pixels(a->picture) > Pixels(b->picture);
    return a->depth > b->depth;
  });
}

// The inputs as they are, one of each width and height (the deepest).
std::vector<const MakerInput*> InputsAsTheyAre(const std::vector<MakerInput>& inputs) {
  std::vector<const MakerInput*> chosen;
  for (const MakerInput& input : inputs) {
    auto same = std::find_if(chosen.begin(), chosen.end(), [&](const MakerInput* taken) {
      return taken->picture.width == input.picture.width && taken->picture.height == input.picture.height;
    });
    if (same == chosen.end()) {
      chosen.push_back(&input);
    } else if (input.depth > (*same)->depth) {
      *same = &input;
    }
  }
  return chosen;
}

// The pictures of each size asked for: inputs kept as they are, others
// scaled into `scaled` (reserved, so that pointers into it hold).
MakeFailure PlanSizes(const std::vector<MakerInput>& inputs, const IconRecipe& recipe, std::vector<MakerInput>* scaled,
                      std::vector<const MakerInput*>* images, std::int32_t* failed) {
  std::vector<std::int32_t> sizes = recipe.sizes;
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  scaled->reserve(sizes.size());
  for (std::int32_t size : sizes) {
    if (const MakerInput* exact = ExactInput(inputs, size)) {
      images->push_back(exact);
      continue;
    }
    const MakerInput* source = SourceFor(inputs, size, recipe.enlarge);
    *failed = size;
    if (source == nullptr) return MakeFailure::kSizeAboveInputs;
    scaled->emplace_back();
    if (!ScaledInto(*source, size, &scaled->back())) return MakeFailure::kOutOfMemory;
    images->push_back(&scaled->back());
  }
  return MakeFailure::kNone;
}

// Encodes the images in order into a group; every block is kept until the
// builder has copied them all, as it tells blocks apart by their address.
IconGroupPtr BuildGroup(const std::vector<const MakerInput*>& images, const IconRecipe& recipe) {
  std::vector<std::vector<std::uint8_t>> blocks(images.size());
  GroupBuilder builder;
  if (!builder.Start(images.size(), recipe.cursor)) return nullptr;
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (!Encode(images[i]->picture, recipe.storage, &blocks[i])) return nullptr;
    GroupBuilder::EntryFields fields;
    fields.planes = 1;
    fields.bitCount = 32;
    // A hot spot past a picture's edge points at its last pixel.
    if (recipe.cursor) {
      const RgbaPicture& picture = images[i]->picture;
      fields.hotSpot.x = static_cast<std::uint16_t>(std::min<std::int32_t>(images[i]->hotSpot.x, picture.width - 1));
      fields.hotSpot.y = static_cast<std::uint16_t>(std::min<std::int32_t>(images[i]->hotSpot.y, picture.height - 1));
    }
    if (builder.Add(ByteView(blocks[i].data(), blocks[i].size()), fields) != GroupBuildFailure::kNone) return nullptr;
  }
  return builder.Take();
}

}  // namespace

std::vector<std::int32_t> WindowsIconSizes() { return {16, 20, 24, 32, 40, 48, 64, 256}; }

std::vector<std::int32_t> DefaultSizes(const RgbaPicture& picture, bool enlarge) {
  std::vector<std::int32_t> sizes;
  for (std::int32_t size : WindowsIconSizes()) {
    if (enlarge || size <= std::max(picture.width, picture.height)) sizes.push_back(size);
  }
  if (sizes.empty()) sizes.push_back(std::max(picture.width, picture.height));
  return sizes;
}

MadeIcon MakeIcon(const std::vector<MakerInput>& inputs, const IconRecipe& recipe) {
  MadeIcon made;
  if (inputs.empty()) {
    made.failure = MakeFailure::kNoInput;
    return made;
  }
  try {
    std::vector<MakerInput> scaled;
    std::vector<const MakerInput*> images;
    if (recipe.sizes.empty()) {
      images = InputsAsTheyAre(inputs);
    } else {
      made.failure = PlanSizes(inputs, recipe, &scaled, &images, &made.size);
      if (made.failure != MakeFailure::kNone) return made;
    }
    SortForDirectory(&images);
    made.group = BuildGroup(images, recipe);
  } catch (const std::bad_alloc&) {
    made.group.reset();
  }
  if (!made.group) made.failure = MakeFailure::kOutOfMemory;
  return made;
}
