// Files opened from outside the open dialog: named on the program's command
// line, and dropped on its window. Each must open as the open dialog's
// choice of it would: list, preview, buttons and messages.
#pragma once

#include <string>

#include "command_files.h"
#include "command_program.h"

// Starts the program once for each of several files given as its argument.
void CheckStartFiles(const std::wstring& exe, const Paths& p);
// Drops files on the running program's window.
void CheckDroppedFiles(Program& program, const Paths& p);
// A file handed over by a second start while the Save dialog is open.
void CheckHandOverDuringSave(const std::wstring& exe, Program& program, const Paths& p);
