// One window: a later start of the program hands its file (or only itself)
// to the window of the copy that runs, found by a property named after the
// application, the name its single-instance mutex has too.
#pragma once

#include <windows.h>

#include <string>

// dwData of the WM_COPYDATA that hands a file over; lpData is its path,
// UTF-16 as the user named it, empty when the later start named none.
constexpr ULONG_PTR kHandedFile = 0x50494354;  // "PICT"

void MarkRunningWindow(HWND window, const char* appName);
void UnmarkRunningWindow(HWND window, const char* appName);

// Hands `file` (full path, or empty) to the running window of `appName`, and
// lets it come to the front. False when there is no such window yet (a copy
// that has not shown it) or it did not take the file.
bool HandToRunningWindow(const char* appName, const std::wstring& file);

// The file a WM_COPYDATA hands over; false for another kind of data.
bool HandedFile(const COPYDATASTRUCT* data, std::wstring* file);
