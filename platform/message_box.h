// Every message the program shows passes through ShowMessageBox, so that a
// test can take it through a hook instead of waiting on a real box.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "posix/win32_api.h"
#endif

// Returns what the box would return (IDOK for an OK box).
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);

// Installs a hook that sees every message instead of the user; null removes
// it. Returns the hook it replaces.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The window that owns the messages of the icon readers and writers.
void SetMessageOwner(HWND owner);
HWND MessageOwner();

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
