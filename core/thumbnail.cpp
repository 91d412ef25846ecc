#include "thumbnail.h"

#include "codecs/icon_rgba.h"
#include "codecs/picture_scaling.h"
#include "codecs/png_encoder.h"

DecodeOutcome ThumbnailPng(const IconImage* image, std::int32_t side, std::vector<std::uint8_t>* png) {
  RgbaPicture picture;
  const DecodeOutcome decoded = DecodeIconRgba(image->bits, image->byteCount, &picture);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  std::int32_t width = 0;
  std::int32_t height = 0;
  FitWithin(picture.width, picture.height, side, &width, &height);
  if (width != picture.width || height != picture.height) {
    std::vector<std::uint8_t> scaled;
    if (!ScaleRgba(picture.pixels.data(), picture.width, picture.height, width, height, &scaled)) {
      return DecodeOutcome::kOutOfMemory;
    }
    picture.pixels = std::move(scaled);
    picture.width = width;
    picture.height = height;
  }
  return EncodePngRgba(picture.pixels.data(), picture.width, picture.height, png, PngEffort::kQuick)
             ? DecodeOutcome::kDecoded
             : DecodeOutcome::kOutOfMemory;
}

ChosenPng MakeThumbnail(const IconGroup* group, std::int32_t side) {
  return FirstPngMade(
      group, ImagesForThumbnail(group, side),
      [side](const IconImage& image, std::vector<std::uint8_t>* png) { return ThumbnailPng(&image, side, png); });
}
