// The clipboard as the command checks read it: the Windows clipboard of this
// Wine session and the X11 clipboard of the display.
#pragma once

#include <string>

#include "support/image_bytes.h"

void ClearClipboard();
Bytes ClipboardDib();
// What the X11 clipboard of the display offers, asked with xclip (a Unix
// program, which Wine starts without giving back a process handle).
std::string X11ClipboardTargets(const std::string& filesUnix);
