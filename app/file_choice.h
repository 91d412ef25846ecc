// Running the open and save dialogs for the window's commands.
#pragma once

#include "framework/file_dialog.h"

// True when the user chose a file the program can reach by a name in the
// system's code page. A name it cannot reach is told with a message rather
// than taken for a cancel; nothing else is done with it.
bool ChooseFile(CFileDialog& dialog);
