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

// How the display reads a message's bytes: the program's own texts are GBK,
// paths are in the system's code page. The hook always sees the bytes as they
// are.
struct MessageEncoding {
  unsigned textPathBytes;  // the text begins with a path of this many bytes; the rest is program text
  bool captionIsPath;
  // The message reports a failed file call: a console follows the text with
  // the system's reason for it, when the platform has one. A box shows the
  // text alone.
  bool fileCallFailed = false;
};
// The readers' and writers' messages: program text, the file's path as caption.
constexpr MessageEncoding kTextWithPathCaption{0, true};
// The window's commands: program text, program caption ("错误").
constexpr MessageEncoding kTextWithProgramCaption{0, false};

// Shown as kTextWithPathCaption.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type, MessageEncoding encoding);
