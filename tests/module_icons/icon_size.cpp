#include "icon_size.h"

namespace {

#ifdef _WIN32
SIZE IconSize(HICON icon) {
  SIZE size = {0, 0};
  ICONINFO info;
  if (!GetIconInfo(icon, &info)) return size;
  BITMAP bitmap;
  HBITMAP shown = info.hbmColor ? info.hbmColor : info.hbmMask;
  if (GetObjectA(shown, sizeof bitmap, &bitmap)) {
    size.cx = bitmap.bmWidth;
    size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return size;
}
#endif

}  // namespace

int IconWidth(HICON icon) {
#ifdef _WIN32
  return IconSize(icon).cx;
#else
  NativeIconPicture picture;
  return GetNativeIconPicture(icon, &picture) ? picture.width : 0;
#endif
}

int IconHeight(HICON icon) {
#ifdef _WIN32
  return IconSize(icon).cy;
#else
  NativeIconPicture picture;
  return GetNativeIconPicture(icon, &picture) ? picture.height : 0;
#endif
}
