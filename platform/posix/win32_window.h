// The few window operations the core uses (a message's owner, the
// clipboard), for the native build. A native window is never made: the
// command has none, so a message's owner is always null.
#pragma once

#include <cstddef>

// The next character of a narrow text in the system's code page, which is
// UTF-8 here; the terminating zero is not passed.
LPSTR CharNextA(LPCSTR text);

// Native windows put no box over themselves: the window itself.
HWND GetLastActivePopup(HWND window);

// Clipboard: the native build has none. OpenClipboard always fails, so
// nothing is ever placed; the others behave as with a clipboard that is not
// open.
#define CF_DIB 8
#define CF_DIBV5 17
BOOL OpenClipboard(HWND owner);
// The same number for the same name (compared ignoring ASCII case), from
// 0xC000 up as Windows gives them; 0 for no name.
UINT RegisterClipboardFormatA(LPCSTR name);
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
BOOL CloseClipboard();

// Global memory over the C heap: a handle is the block's own address.
#define GMEM_FIXED 0x0
#define GMEM_MOVEABLE 0x2
#define GMEM_ZEROINIT 0x40
#define GMEM_DDESHARE 0x2000
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
// Null when freed, the handle itself otherwise.
HGLOBAL GlobalFree(HGLOBAL memory);
