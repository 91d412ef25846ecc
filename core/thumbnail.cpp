#include "thumbnail.h"

#include <algorithm>

#include "codecs/picture_scaling.h"
#include "codecs/png_encoder.h"
#include "icon_rgba.h"
#include "messages.h"
#include "png_file.h"

int ThumbnailImageIndex(const IconGroup* group, std::int32_t side) {
  if (group == nullptr) return -1;
  int nearest = -1;
  std::int32_t nearestSide = 0;
  std::uint32_t nearestDepth = 0;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    const std::int32_t longer = std::max(image.width, image.height);
    if (image.bits == nullptr || longer < side) continue;
    if (nearest < 0 || longer < nearestSide || (longer == nearestSide && DepthDistance(image) < nearestDepth)) {
      nearest = static_cast<int>(i);
      nearestSide = longer;
      nearestDepth = DepthDistance(image);
    }
  }
  return nearest >= 0 ? nearest : LargestImageIndex(group);
}

bool ThumbnailPng(const IconImage* image, std::int32_t side, std::vector<std::uint8_t>* png) {
  RgbaPicture picture;
  if (!IconImageRgba(image, &picture)) return false;
  std::int32_t width = 0;
  std::int32_t height = 0;
  FitWithin(picture.width, picture.height, side, &width, &height);
  if (width != picture.width || height != picture.height) {
    std::vector<std::uint8_t> scaled;
    if (!ScaleRgba(picture.pixels.data(), picture.width, picture.height, width, height, &scaled)) return false;
    picture.pixels = std::move(scaled);
    picture.width = width;
    picture.height = height;
  }
  return EncodePngRgba(picture.pixels.data(), picture.width, picture.height, png, PngEffort::kQuick);
}

int SaveThumbnail(const IconGroup* group, std::int32_t side, const char* path) {
  const int index = ThumbnailImageIndex(group, side);
  if (index < 0) return 0;
  // Made first: an image that can't be leaves the target alone.
  if (!PictureFitsBudget(&group->images[index])) {
    ShowMessage(Message::kOverMemoryBudget, path);
    return 0;
  }
  std::vector<std::uint8_t> png;
  if (!ThumbnailPng(&group->images[index], side, &png)) {
    ShowMessage(Message::kPngNotConvertible, path);
    return 0;
  }
  return WritePngFile(path, png, true);
}
