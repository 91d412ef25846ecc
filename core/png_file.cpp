#include "png_file.h"

#include <new>

#include "file_io.h"
#include "icon_rgba.h"
#include "messages.h"
#include "png_image.h"
#include "codecs/png_encoder.h"
#include "replacement_file.h"

std::uint32_t DepthDistance(const IconImage& image) {
  constexpr std::int64_t kDisplayBits = 32;
  const std::int64_t distance = std::int64_t{image.bitsPerPixel} - kDisplayBits;
  return static_cast<std::uint32_t>(distance < 0 ? -distance : distance);
}

int LargestImageIndex(const IconGroup* group) {
  if (group == nullptr) return -1;
  int largest = -1;
  std::int64_t mostPixels = 0;
  std::uint32_t nearestDepth = 0;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    if (image.bits == nullptr) continue;
    const std::int64_t pixels = std::int64_t{image.width} * image.height;
    if (largest < 0 || pixels > mostPixels || (pixels == mostPixels && DepthDistance(image) < nearestDepth)) {
      largest = static_cast<int>(i);
      mostPixels = pixels;
      nearestDepth = DepthDistance(image);
    }
  }
  return largest;
}

bool IconImageAsPng(const IconImage* image, std::vector<std::uint8_t>* png) {
  if (image == nullptr || image->bits == nullptr) return false;
  if (IsPngImage(image)) {
    // Stored bytes that don't decode would make a file nothing opens.
    std::vector<std::uint8_t> rgba;
    std::int32_t width = 0, height = 0;
    if (!DecodePngPicture(image->bits, image->byteCount, &rgba, &width, &height)) return false;
    try {
      png->assign(image->bits, image->bits + image->byteCount);
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }
  RgbaPicture picture;
  return IconImageRgba(image, &picture) &&
         EncodePngRgba(picture.pixels.data(), picture.width, picture.height, png);
}

int SaveImageAsPng(const char* path, const IconImage* image, FileHandle* made) {
  // Encoded first: an image that can't be leaves the target alone.
  if (image != nullptr && !IsPngImage(image) && !PictureFitsBudget(image)) {
    ShowMessage(Message::kOverMemoryBudget, path);
    return 0;
  }
  std::vector<std::uint8_t> png;
  if (!IconImageAsPng(image, &png)) {
    ShowMessage(Message::kPngNotConvertible, path);
    return 0;
  }
  return WritePngFile(path, png, false, made);
}

int WritePngFile(const char* path, const std::vector<std::uint8_t>& png, bool keepFile, FileHandle* made) {
  ReplacementFile file;
  if (!(keepFile ? file.CreateKeepingFile(path) : file.Create(path, made))) {
    ShowMessage(Message::kPngCreateFailed, path);
    return 0;
  }
  if (!WriteExactly(file.Handle(), png.data(), static_cast<DWORD>(png.size()))) {
    ShowMessage(Message::kPngWriteFailed, path);
    return 0;
  }
  if (!file.Commit()) {
    ShowMessage(Message::kPngCreateFailed, path);
    return 0;
  }
  return 1;
}

int SaveLargestImageAsPng(const IconGroup* group, const char* path, FileHandle* made) {
  const int largest = LargestImageIndex(group);
  if (largest < 0) return 0;
  return SaveImageAsPng(path, &group->images[largest], made);
}
