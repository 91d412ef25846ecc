#include "image_choice.h"

#include <algorithm>

std::int32_t LongerSide(const IconImage& image) { return std::max(image.width, image.height); }

namespace {

std::int64_t Pixels(const IconImage& image) { return std::int64_t{image.width} * image.height; }

std::vector<std::uint32_t> ImagesHeld(const IconGroup* group) {
  std::vector<std::uint32_t> held;
  if (group == nullptr) return held;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    if (group->images[i].bits != nullptr) held.push_back(i);
  }
  return held;
}

// How far the image's depth lies from the display's 32 bits: of images of
// one size, Windows' best fit (LookupIconIdFromDirectoryEx) takes the
// nearest, the first of those.
std::uint32_t DepthDistance(const IconImage& image) {
  constexpr std::int64_t kDisplayBits = 32;
  const std::int64_t distance = std::int64_t{image.bitsPerPixel} - kDisplayBits;
  return static_cast<std::uint32_t>(distance < 0 ? -distance : distance);
}

// Larger before smaller, by pixels then the depth nearest 32 bits; a stable
// sort keeps the first of equals first.
bool Larger(const IconImage& a, const IconImage& b) {
  if (Pixels(a) != Pixels(b)) return Pixels(a) > Pixels(b);
  return DepthDistance(a) < DepthDistance(b);
}

int First(const std::vector<std::uint32_t>& order) { return order.empty() ? -1 : static_cast<int>(order.front()); }

}  // namespace

std::vector<std::uint32_t> ImagesLargestFirst(const IconGroup* group) {
  std::vector<std::uint32_t> order = ImagesHeld(group);
  std::stable_sort(order.begin(), order.end(),
                   [group](std::uint32_t a, std::uint32_t b) { return Larger(group->images[a], group->images[b]); });
  return order;
}

int LargestImageIndex(const IconGroup* group) { return First(ImagesLargestFirst(group)); }

std::vector<std::uint32_t> ImagesForThumbnail(const IconGroup* group, std::int32_t side) {
  std::vector<std::uint32_t> order = ImagesHeld(group);
  // Those at least `side` long first, the nearest to it first; then the
  // rest, the largest first. Stable sorts keep the first of equals first.
  const auto reaches = [group, side](std::uint32_t i) { return LongerSide(group->images[i]) >= side; };
  const auto rest = std::stable_partition(order.begin(), order.end(), reaches);
  std::stable_sort(order.begin(), rest, [group](std::uint32_t a, std::uint32_t b) {
    const IconImage& x = group->images[a];
    const IconImage& y = group->images[b];
    if (LongerSide(x) != LongerSide(y)) return LongerSide(x) < LongerSide(y);
    return DepthDistance(x) < DepthDistance(y);
  });
  std::stable_sort(rest, order.end(),
                   [group](std::uint32_t a, std::uint32_t b) { return Larger(group->images[a], group->images[b]); });
  return order;
}

int ThumbnailImageIndex(const IconGroup* group, std::int32_t side) { return First(ImagesForThumbnail(group, side)); }

ChosenPng FirstPngMade(const IconGroup* group, const std::vector<std::uint32_t>& order, const PngMaker& make) {
  ChosenPng chosen;
  for (std::uint32_t index : order) {
    const IconImage& image = group->images[index];
    const DecodeOutcome outcome = make(image, &chosen.png);
    if (outcome == DecodeOutcome::kDecoded) {
      chosen.image = static_cast<int>(index);
      return chosen;
    }
    chosen.passedOver.push_back({index, image.width, image.height, outcome});
  }
  return chosen;
}

Message PngFailureMessage(DecodeOutcome outcome) {
  return outcome == DecodeOutcome::kTooLarge ? Message::kOverMemoryBudget : Message::kPngNotConvertible;
}
