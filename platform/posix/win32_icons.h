// Icon objects made from resource bytes, for the native build. The "display"
// of the native build shows icons of 32 x 32 pixels at 32 bits per pixel.
#pragma once

#include <cstdint>

#define LR_DEFAULTCOLOR 0x0000
#define LR_MONOCHROME 0x0001
#define LR_DEFAULTSIZE 0x0040
#define LR_SHARED 0x8000

// The integer identifier of the icon resource that best fits the display
// among the entries of a group-icon resource, or 0. Like the system's, it
// trusts the directory's count: the caller checks that the bytes hold every
// entry.
int LookupIconIdFromDirectory(BYTE* directory, BOOL icon);
int LookupIconIdFromDirectoryEx(BYTE* directory, BOOL icon, int width, int height, UINT flags);

// An icon object holding the decoded picture of an icon image block (packed
// DIB with its mask, or PNG) of `size` bytes, at the desired size (0: the
// image's own, or 32 with LR_DEFAULTSIZE); null when the block is not a
// complete image. Released with DestroyIcon. Cursors are not made.
HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int width,
                               int height, UINT flags);
// The same at the display's icon size.
HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version);

// Native build only: the picture an icon object holds, for tests and the
// command line. Pointers stay valid until the icon is destroyed. False for
// null or a value that is not an icon object (such as the 1 of ExtractIconA).
struct NativeIconPicture {
  std::int32_t width;
  std::int32_t height;
  const std::uint32_t* colors;  // width x height, top-down, 0xAARRGGBB
  const std::uint8_t* mask;     // width x height, top-down, 1 where the AND mask is set
  bool hasAlpha;                // colours are blended by their alpha; mask not used
};
BOOL GetNativeIconPicture(HICON icon, NativeIconPicture* picture);
