#include "icon_group.h"

#include <cstdlib>
#include <cstring>

#include "dib.h"
#include "formats/dib_layout.h"
#include "formats/input_limits.h"
#include "formats/png_header.h"

namespace {

// Where the parts of a bottom-up icon image end, in bytes from the start of
// its block; xorEnd is -1 when the header is not one Pictrove can bind.
struct ImageExtent {
  std::int64_t xorEnd;
  std::int64_t andEnd;
};

ImageExtent MeasureImage(const BITMAPINFOHEADER* header) {
  if (header->biSize != sizeof(BITMAPINFOHEADER)) return {-1, -1};
  std::int64_t width = header->biWidth;
  std::int64_t height = header->biHeight / 2;
  if (!dib_layout::SidesFit(width, height)) return {-1, -1};
  std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(header->biPlanes) * header->biBitCount;
  std::int64_t xorRows = DibStride64(width, bitsPerPixel) * height;
  std::int64_t andRows = DibStride64(width, 1) * height;
  std::int64_t xorEnd = std::int64_t{sizeof(BITMAPINFOHEADER)} + DibPaletteBytes(header) + xorRows;
  return {xorEnd, xorEnd + andRows};
}

// A 32-bit image's mask is implied by its colours (user32 makes one from
// the alpha bytes, or leaves every pixel opaque when none is set), so such an
// image may end with its XOR rows, as many shipped icons do; at other depths
// the mask is the only transparency and must be there.
bool MaskMayBeImplied(const BITMAPINFOHEADER* header) {
  return static_cast<std::uint32_t>(header->biPlanes) * header->biBitCount == 32;
}

int BindPngImage(IconImage* image) {
  png::Header png;
  if (!png::ReadHeader(ByteView(image->bits, image->byteCount), &png)) return 0;
  image->width = png.width;
  image->height = png.height;
  image->bitsPerPixel = png.bitsPerPixel;
  image->header = nullptr;
  image->xorBits = nullptr;
  image->andBits = nullptr;
  return 1;
}

}  // namespace

bool IsPngImage(const IconImage* image) {
  return image != nullptr && image->bits != nullptr &&
         png::HasSignature(ByteView(image->bits, image->byteCount));
}

int BindImagePointers(IconImage* image) {
  if (image == nullptr || image->bits == nullptr) return 0;
  if (IsPngImage(image)) return BindPngImage(image);
  if (image->byteCount < sizeof(BITMAPINFOHEADER)) return 0;

  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(image->bits);
  const ImageExtent extent = MeasureImage(header);
  if (extent.xorEnd < 0) return 0;
  const bool masked = static_cast<std::uint64_t>(extent.andEnd) <= image->byteCount;
  if (!masked && (!MaskMayBeImplied(header) || static_cast<std::uint64_t>(extent.xorEnd) > image->byteCount)) {
    return 0;
  }

  image->header = header;
  image->width = header->biWidth;
  image->height = header->biHeight / 2;
  image->bitsPerPixel = static_cast<std::int32_t>(static_cast<std::uint32_t>(header->biBitCount) *
                                                  header->biPlanes);
  image->xorBits = DibPixels(header);
  // The rows' ends as measured in 64 bits above: DibStride's 32 bits could
  // wrap for a depth no picture has.
  image->andBits = masked ? image->bits + static_cast<std::ptrdiff_t>(extent.xorEnd) : nullptr;
  return 1;
}

void SetGroupPath(char (&field)[260], const char* text) {
  std::size_t length = text ? std::strlen(text) : 0;
  if (length > sizeof field - 1) length = sizeof field - 1;
  if (length != 0) std::memcpy(field, text, length);
  field[length] = '\0';
}

IconGroup* CreateUntitledGroup() {
  auto* group = static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(1)));
  if (group == nullptr) return nullptr;
  SetGroupPath(group->iconPath, "Untitled");
  group->imageCount = 0;
  IconImage* first = GroupImage(group, 0);
  first->width = 32;
  first->height = 32;
  first->bitsPerPixel = 32;
  return group;
}

void FreeIconGroup(IconGroup* group) {
  if (group == nullptr) return;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    if (!GroupImage(group, i)->sharesBits) std::free(GroupImage(group, i)->bits);
  }
  std::free(group);
}

void UnshareImage(IconGroup* group, std::uint32_t index) {
  IconImage* image = GroupImage(group, index);
  if (image->sharesBits || image->bits == nullptr) return;
  for (std::uint32_t i = index + 1; i < group->imageCount; ++i) {
    IconImage* other = GroupImage(group, i);
    if (other->sharesBits && other->bits == image->bits) {
      other->sharesBits = false;
      image->sharesBits = true;
      return;
    }
  }
}

std::int32_t PictureDepth(const IconImage* image) {
  png::Header png;
  if (image->header == nullptr && png::ReadHeader(ByteView(image->bits, image->byteCount), &png)) {
    return png.bitsPerPixel;
  }
  return image->bitsPerPixel;
}

void TakeEntryDepth(IconImage* image, std::uint16_t planes, std::uint16_t bitCount) {
  if (image->header != nullptr) return;
  image->entryPlanes = planes;
  image->entryBitCount = bitCount;
  image->entryGiven = true;
  if (bitCount == 0) return;
  // In 32 bits: 65535 planes of 65535 bits is no int. A product past 16
  // bits is no depth, and the PNG's own is kept.
  const std::uint32_t depth = std::uint32_t{planes != 0 ? planes : 1u} * std::uint32_t{bitCount};
  if (depth <= UINT16_MAX) image->bitsPerPixel = static_cast<std::int32_t>(depth);
}
