#include "png_file.h"

#include <new>

#include "codecs/icon_rgba.h"
#include "codecs/png_decoder.h"
#include "codecs/png_encoder.h"
#include "file_io.h"
#include "formats/png_header.h"
#include "messages.h"
#include "replacement_file.h"

DecodeOutcome IconImageAsPng(const IconImage* image, std::vector<std::uint8_t>* png) {
  if (image == nullptr || image->bits == nullptr) return DecodeOutcome::kUndecodable;
  if (IsPngImage(image)) {
    // Stored bytes that don't decode would make a file nothing opens.
    RgbaPicture picture;
    const DecodeOutcome decoded = DecodePng(image->bits, image->byteCount, &picture);
    if (decoded != DecodeOutcome::kDecoded) return decoded;
    try {
      // Whole, with an end chunk the block was cut short of put back.
      if (!png::RestoreEndChunk(ByteView(image->bits, image->byteCount), png)) {
        png->assign(image->bits, image->bits + image->byteCount);
      }
    } catch (const std::bad_alloc&) {
      return DecodeOutcome::kOutOfMemory;
    }
    return DecodeOutcome::kDecoded;
  }
  RgbaPicture picture;
  const DecodeOutcome decoded = DecodeIconRgba(image->bits, image->byteCount, &picture);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  return EncodePngRgba(picture.pixels.data(), picture.width, picture.height, png) ? DecodeOutcome::kDecoded
                                                                                  : DecodeOutcome::kOutOfMemory;
}

ChosenPng GroupPng(const IconGroup* group, const std::vector<std::uint32_t>& order) {
  return FirstPngMade(
      group, order, [](const IconImage& image, std::vector<std::uint8_t>* png) { return IconImageAsPng(&image, png); });
}

int SaveImageAsPng(const char* path, const IconImage* image, FileHandle* made) {
  // Encoded first: an image that can't be leaves the target alone.
  std::vector<std::uint8_t> png;
  const DecodeOutcome outcome = IconImageAsPng(image, &png);
  if (outcome != DecodeOutcome::kDecoded) {
    ShowMessage(PngFailureMessage(outcome), path);
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
