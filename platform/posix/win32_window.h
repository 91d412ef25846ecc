// The few window operations the core uses (list entries, the clipboard), for
// the native build.
//
// A native "window" is a plain object: a dialog holding child controls by
// identifier, of which the only kind is a sorted list box. It orders its
// entries as a Windows list box with LBS_SORT does (the comparison of
// CompareStringA with NORM_IGNORECASE, for ASCII text), so that the command
// line lists entries in the order the program's window shows them.
#pragma once

#include <cstddef>

#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LB_ADDSTRING 0x0180
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
// Taken and ignored: a native list is never drawn.
#define WM_SETREDRAW 0x000B

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// Native build only: a dialog with one sorted list box of identifier 1000,
// the icon list of the program's main window. Released with DestroyWindow.
HWND CreateNativeListDialog();

// The next character of a narrow text in the system's code page, which is
// UTF-8 here; the terminating zero is not passed.
LPSTR CharNextA(LPCSTR text);

HWND GetDlgItem(HWND dialog, int id);
// Native windows put no box over themselves: the window itself.
HWND GetLastActivePopup(HWND window);
// The list messages above; anything else gives 0. LB_ERR for a window that is
// not a list, or an index out of range.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND window);
// Nothing is drawn natively: true for any window.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);

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
