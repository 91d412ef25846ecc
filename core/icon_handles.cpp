#include "icon_handles.h"

#include <cstring>
#include <utility>
#include <vector>

#include "clipboard_images.h"
#include "platform/handles.h"
#include "png_file.h"
#include "codecs/png_dib.h"

namespace {

constexpr DWORD kIconResourceVersion = 0x30000;
constexpr std::size_t kHeightOffset = offsetof(BITMAPINFOHEADER, biHeight);

// The header at the start of an image block, read without assuming its
// alignment; false when the block is too short to hold one.
bool ReadBlockHeader(const IconImage* image, BITMAPINFOHEADER* header) {
  if (image->byteCount < sizeof(BITMAPINFOHEADER)) return false;
  std::memcpy(header, image->bits, sizeof *header);
  return true;
}

// Closes the clipboard opened by this code on every way out.
class OpenedClipboard {
 public:
  OpenedClipboard() : open_(OpenClipboard(MessageOwner()) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};


// The bytes that go to the clipboard for an image: a packed DIB of its colour
// picture. `owned` keeps a decoded PNG picture alive.
bool ClipboardBytes(const IconImage* image, HeapPtr<BITMAPINFOHEADER>* owned, const BYTE** bytes,
                    std::size_t* length) {
  if (IsPngImage(image)) {
    // The block is no DIB: the clipboard gets the decoded picture.
    std::uint8_t* decoded = nullptr;
    if (DecodePngToDib(image->bits, image->byteCount, &decoded) != DecodeOutcome::kDecoded) return false;
    owned->reset(reinterpret_cast<BITMAPINFOHEADER*>(decoded));
    const BITMAPINFOHEADER* dib = owned->get();
    *bytes = reinterpret_cast<const BYTE*>(dib);
    *length = sizeof(BITMAPINFOHEADER) +
              static_cast<std::size_t>(dib->biWidth) * static_cast<std::size_t>(dib->biHeight) * 4;
    return true;
  }
  // Too short to hold the header whose height is halved.
  if (image->byteCount < sizeof(BITMAPINFOHEADER)) return false;
  *bytes = image->bits;
  *length = image->byteCount;
  return true;
}

// Places a copy of the bytes on the open clipboard as `format`; false, with
// nothing placed, when a block can't be had or the clipboard refuses it.
bool PlaceCopy(UINT format, const std::vector<std::uint8_t>& bytes) {
  if (format == 0 || bytes.empty()) return false;
  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size()));
  if (block.Get() == nullptr) return false;
  void* copy = GlobalLock(block.Get());
  if (copy == nullptr) return false;
  std::memcpy(copy, bytes.data(), bytes.size());
  GlobalUnlock(block.Get());
  if (SetClipboardData(format, block.Get()) == nullptr) return false;
  block.Release();
  return true;
}

// The picture again, for programs that paste it with its transparency (the
// CF_DIB block has none): as PNG and as a DIB of version 5 with alpha. Each
// is left out when it can't be made.
void PlaceWithAlpha(const IconImage* image) {
  std::vector<std::uint8_t> bytes;
  if (IconImageAsPng(image, &bytes) == DecodeOutcome::kDecoded) PlaceCopy(RegisterClipboardFormatA(kPngClipboardFormat), bytes);
  if (IconImageAsDibV5(image, &bytes)) PlaceCopy(CF_DIBV5, bytes);
}

}  // namespace

HICON IconHandleFromImage(const IconImage* image) {
  if (image == nullptr || image->bits == nullptr) return nullptr;
  BYTE* bits = image->bits;
  int width, height;
  WORD bitCount = 0;
  BITMAPINFOHEADER header;
  if (IsPngImage(image)) {
    // A PNG block has no header; its size is the record's, from the PNG's.
    width = image->width;
    height = image->height;
  } else if (ReadBlockHeader(image, &header)) {
    width = header.biWidth;
    height = header.biHeight / 2;
    bitCount = header.biBitCount;
  } else {
    return nullptr;
  }
  HICON icon = CreateIconFromResourceEx(bits, image->byteCount, TRUE, kIconResourceVersion, width,
                                        height, 0);
  if (icon != nullptr) return icon;
  if (bitCount == 16) return nullptr;
  return CreateIconFromResource(bits, image->byteCount, TRUE, kIconResourceVersion);
}

int CopyImageToClipboard(const IconImage* image) {
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) return 0;
  if (!EmptyClipboard()) return 0;
  if (image == nullptr || image->bits == nullptr || image->byteCount == 0) return 0;

  HeapPtr<BITMAPINFOHEADER> decoded;
  const BYTE* bytes = nullptr;
  std::size_t length = 0;
  if (!ClipboardBytes(image, &decoded, &bytes, &length)) return 0;

  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, length));
  if (block.Get() == nullptr) return 0;
  auto* copy = static_cast<BYTE*>(GlobalLock(block.Get()));
  if (copy == nullptr) return 0;
  std::memcpy(copy, bytes, length);
  if (!decoded) {
    LONG storedHeight;
    std::memcpy(&storedHeight, copy + kHeightOffset, sizeof storedHeight);
    LONG pictureHeight = storedHeight / 2;
    std::memcpy(copy + kHeightOffset, &pictureHeight, sizeof pictureHeight);
  }
  GlobalUnlock(block.Get());

  // A block the clipboard does not take stays ours, and is freed with `block`.
  if (SetClipboardData(CF_DIB, block.Get()) == nullptr) return 0;
  block.Release();
  PlaceWithAlpha(image);
  return 1;
}
