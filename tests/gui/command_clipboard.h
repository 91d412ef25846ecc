// The clipboard as the command checks read it: the Windows clipboard of this
// Wine session and the X11 clipboard of the display.
#pragma once

#include <windows.h>

#include <string>

#include "support/image_bytes.h"

void ClearClipboard();
// The block the clipboard holds in `format`; empty when none.
Bytes ClipboardBytes(UINT format);
Bytes ClipboardDib();
// What the X11 clipboard of the display offers, asked with xclip (a Unix
// program, which Wine starts without giving back a process handle).
std::string X11ClipboardTargets(const std::string& filesUnix);
// The X11 clipboard's content of the type `target` (image/png, say).
Bytes X11ClipboardContent(const std::string& filesUnix, const std::string& target);
