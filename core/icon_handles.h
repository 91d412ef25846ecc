// Handing one icon image to the platform: as an icon handle, or on the
// clipboard.
#pragma once

#include "icon_group.h"
#include "platform/platform.h"

// An icon handle of the image's own size (from the header inside its block),
// or null; when that fails, one of the system's default size, except for a
// 16-bit image. The caller owns the icon.
HICON IconHandleFromImage(const IconImage* image);

// Places the image's colour picture on the clipboard as a packed DIB (the
// image block with biHeight halved), the clipboard opened for the main window
// (MessageOwner()); beside it, when they can be made, the picture with its
// transparency as "PNG" and CF_DIBV5 (clipboard_images.h). 1 when the DIB is
// placed, 0 otherwise, without a message.
int CopyImageToClipboard(const IconImage* image);
