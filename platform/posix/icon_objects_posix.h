// What the native icon code shares between its files.
#pragma once

#include <cstdint>

#include "win32_api.h"

// The value ExtractIconA gives for a file that is neither an icon file nor a
// module: not an icon object, never destroyed.
inline HICON NotAnIconSource() { return reinterpret_cast<HICON>(static_cast<std::intptr_t>(1)); }

// True for an icon object made by this platform (not null, not the 1 above).
bool IsIconObject(HICON icon);
