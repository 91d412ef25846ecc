#include "maker_inputs.h"

#include <cstring>

#include "bitmap_file.h"
#include "codecs/icon_rgba.h"
#include "codecs/png_decoder.h"
#include "cursor_file.h"
#include "dib.h"
#include "file_io.h"
#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "icon_file.h"

namespace {

PicturesRead FromOutcome(DecodeOutcome outcome) {
  switch (outcome) {
    case DecodeOutcome::kDecoded:
      return PicturesRead::kRead;
    case DecodeOutcome::kTooLarge:
      return PicturesRead::kTooLarge;
    case DecodeOutcome::kOutOfMemory:
      return PicturesRead::kOutOfMemory;
    case DecodeOutcome::kUndecodable:
      break;
  }
  return PicturesRead::kUndecodable;
}

PicturesRead ReadPng(const char* path, std::vector<MakerInput>* inputs) {
  FileContents contents;
  const FileContentsRead read = ReadFileAt(path, limits::kMaxIconFileBytes, &contents);
  if (read == FileContentsRead::kOutOfMemory) return PicturesRead::kOutOfMemory;
  if (read != FileContentsRead::kDone) return PicturesRead::kCannotRead;
  MakerInput input;
  const DecodeOutcome decoded = DecodePng(contents.bytes.get(), contents.read, &input.picture);
  if (decoded == DecodeOutcome::kDecoded) inputs->push_back(std::move(input));
  return FromOutcome(decoded);
}

// A bitmap's picture as an icon image block without AND rows (twice its
// height in the header), which the icon decoder reads as opaque unless its
// 32 bits carry alpha.
PicturesRead ReadBitmap(const char* path, std::vector<MakerInput>* inputs) {
  HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path));
  if (!dib) return PicturesRead::kShown;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.get(), sizeof header);
  if (header.biCompression != BI_RGB) return PicturesRead::kUndecodable;
  if (!dib_layout::PictureFits(header.biWidth, header.biHeight)) return PicturesRead::kTooLarge;
  const std::size_t length = header.biSize + DibPaletteBytes(&header) +
                             static_cast<std::size_t>(DibStride64(header.biWidth, header.biBitCount) * header.biHeight);
  std::vector<std::uint8_t> block(length);
  std::memcpy(block.data(), dib.get(), length);
  header.biHeight *= 2;
  std::memcpy(block.data(), &header, sizeof header);
  MakerInput input;
  input.depth = header.biPlanes * header.biBitCount;
  const DecodeOutcome decoded = DecodeIconRgba(block.data(), block.size(), &input.picture);
  if (decoded == DecodeOutcome::kDecoded) inputs->push_back(std::move(input));
  return FromOutcome(decoded);
}

PicturesRead ReadGroup(const IconGroup* group, std::vector<MakerInput>* inputs) {
  if (group == nullptr) return PicturesRead::kShown;
  if (group->imageCount == 0) return PicturesRead::kNoImages;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    MakerInput input;
    input.depth = PictureDepth(&image);
    input.hotSpot = image.hotSpot;
    const DecodeOutcome decoded = DecodeIconRgba(image.bits, image.byteCount, &input.picture);
    if (decoded != DecodeOutcome::kDecoded) return FromOutcome(decoded);
    inputs->push_back(std::move(input));
  }
  return PicturesRead::kRead;
}

}  // namespace

PicturesRead ReadMakerPictures(const char* path, file_kind::Kind kind, std::vector<MakerInput>* inputs) {
  switch (kind) {
    case file_kind::Kind::kPng:
      return ReadPng(path, inputs);
    case file_kind::Kind::kBitmap:
      return ReadBitmap(path, inputs);
    case file_kind::Kind::kIcon:
      return ReadGroup(IconGroupPtr(LoadIconFile(path)).get(), inputs);
    case file_kind::Kind::kCursor:
      return ReadGroup(LoadCursorFile(path).get(), inputs);
    default:
      return PicturesRead::kNotAPicture;
  }
}
