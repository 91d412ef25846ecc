// The operations the core calls, under their Win32 names. The Windows build
// gets them from <windows.h>; the native build from our own POSIX layer.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include "posix/win32_api.h"
#endif

#include "message_box.h"
