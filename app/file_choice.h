// Running the open and save dialogs for the window's commands, and taking a
// file named from outside the window the same way.
#pragma once

#include <string>

#include "framework/cstring.h"
#include "framework/file_dialog.h"

// True when the user chose a file the program can reach by a name in the
// system's code page. A name it cannot reach is told with a message rather
// than taken for a cancel; nothing else is done with it.
bool ChooseFile(CFileDialog& dialog);

// `name` made a full path against the current folder (as it is when the
// platform can't).
std::wstring FullPathOf(const std::wstring& name);

// The full path, in the system's code page, by which the program reaches the
// file `name` names (a start argument, a drop, a file handed over by a later
// start): as the open dialog takes a name (NarrowPathFor). False, after the
// open dialog's message, when there is none; never another file's name.
bool ReachableName(const std::wstring& name, CString* path);
