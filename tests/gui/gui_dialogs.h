// The windows the program shows over its main window, driven from outside:
// the open and save dialogs of the platform, and message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible top-level dialog (class #32770) of the process other than
// `main`, waited for; null after the timeout.
HWND WaitForDialogOver(DWORD processId, HWND main, DWORD timeoutMs);
// Every such dialog shown now.
std::vector<HWND> DialogsOver(DWORD processId, HWND main);

// Returns once the program's thread has handled what was queued before: a
// command has run to its end, or a modal loop (a dialog, a message box) runs.
void Settle(HWND main);

// SendMessage to a window of another process, bounded: -1 (LB_ERR) when it
// does not answer in time.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The text of a window of another process, asked of the window itself (an
// edit control's text lives in the control).
std::wstring ControlText(HWND control);

// Types `name` into the file name box of an open or save dialog, a key at a
// time, then presses Enter there. False when the box is not found or did
// not take the text.
bool TypeFileNameAndEnter(HWND dialog, const std::wstring& name);
// The items of the dialog's file type box.
std::vector<std::wstring> FileTypes(HWND dialog);
// Esc in the dialog's file name box.
void CancelFileDialog(HWND dialog);

struct ShownBox {
  std::wstring caption;
  std::wstring text;
};
ShownBox ReadBox(HWND box);
// Clicks the box's OK button; true when the box is gone.
bool CloseBox(HWND box);
