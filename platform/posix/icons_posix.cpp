// Icon objects of the native build: each holds the decoded picture of one icon
// image, at the size it was asked for.
#include "win32_api.h"

#include <new>
#include <utility>

#include "icon_best_fit.h"
#include "codecs/icon_picture.h"
#include "icon_objects_posix.h"

struct HICON__ {
  IconPicture picture;
};

namespace {

// The display of the native build.
constexpr int kDisplayIconSize = 32;
constexpr int kDisplayBitsPerPixel = 32;

}  // namespace

bool IsIconObject(HICON icon) { return icon != nullptr && icon != NotAnIconSource(); }

int LookupIconIdFromDirectoryEx(BYTE* directory, BOOL icon, int width, int height, UINT flags) {
  if (directory == nullptr || !icon) return 0;
  // The system reads as many entries as the directory counts; so do we.
  std::uint16_t count = 0;
  ByteView(directory, icon_directory::kHeaderBytes).U16(4, &count);
  std::size_t length = icon_directory::kHeaderBytes + count * icon_directory::kGroupEntryBytes;
  int depth = (flags & LR_MONOCHROME) ? 1 : kDisplayBitsPerPixel;
  if (width == 0) width = kDisplayIconSize;
  if (height == 0) height = kDisplayIconSize;
  return BestGroupIconId(directory, length, width, height, depth);
}

int LookupIconIdFromDirectory(BYTE* directory, BOOL icon) {
  return LookupIconIdFromDirectoryEx(directory, icon, 0, 0, LR_DEFAULTCOLOR);
}

HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int width,
                               int height, UINT flags) {
  // Version 2 resources (Windows 2.x) are not read, nor cursors.
  if (bits == nullptr || !icon || version == 0x20000) return nullptr;
  IconPicture decoded;
  if (DecodeIconImage(bits, size, &decoded) != DecodeOutcome::kDecoded) return nullptr;
  if (flags & LR_DEFAULTSIZE) {
    if (width == 0) width = kDisplayIconSize;
    if (height == 0) height = kDisplayIconSize;
  } else {
    if (width == 0) width = decoded.width;
    if (height == 0) height = decoded.height;
  }
  if (width < 0 || height < 0) return nullptr;
  HICON object = new (std::nothrow) HICON__;
  if (object == nullptr) return nullptr;
  if (width == decoded.width && height == decoded.height) {
    object->picture = std::move(decoded);
  } else if (!StretchIconPicture(decoded, width, height, &object->picture)) {
    delete object;
    return nullptr;
  }
  return object;
}

HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version) {
  return CreateIconFromResourceEx(bits, size, icon, version, 0, 0, LR_DEFAULTSIZE);
}

BOOL GetNativeIconPicture(HICON icon, NativeIconPicture* picture) {
  if (!IsIconObject(icon) || picture == nullptr) return FALSE;
  const IconPicture& held = icon->picture;
  picture->width = held.width;
  picture->height = held.height;
  picture->colors = held.colors.data();
  picture->mask = held.mask.data();
  picture->hasAlpha = held.hasAlpha;
  return TRUE;
}

BOOL DestroyIcon(HICON icon) {
  if (!IsIconObject(icon)) return FALSE;
  delete icon;
  return TRUE;
}
