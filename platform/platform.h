// The operations the core calls, under their Win32 names. The Windows build
// gets them from <windows.h>; the native build from our own POSIX layer.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
// The longest path, with its terminating zero, the file calls are given:
// the ANSI calls of Windows take none longer than MAX_PATH.
constexpr std::size_t kMaxPathBytes = MAX_PATH;
#else
#include "posix/win32_api.h"
// Linux takes a path of any length its kernel does, and says itself (with
// its reason) which it refuses.
constexpr std::size_t kMaxPathBytes = SIZE_MAX;
#endif

#include "message_box.h"
