// What Save to a .png name and Copy give of an icon image's transparency,
// checked against the image block itself.
#pragma once

#include <string>

#include "command_files.h"

// The PNG file holds the image: its size, and transparent and opaque pixels
// where the image has them.
void CheckSavedPng(const std::wstring& path, const Bytes& block, const std::string& what);
// Copy placed the image with its transparency beside the DIB: "PNG" and
// CF_DIBV5 on the Windows clipboard, and with `viaX11`, image/png on the
// display's X11 clipboard.
void CheckCopiedWithTransparency(const Paths& p, const Bytes& block, const std::string& what, bool viaX11);
