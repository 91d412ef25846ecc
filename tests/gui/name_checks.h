// The commands with file names that the system's code page cannot hold.
#pragma once

#include "command_files.h"
#include "command_program.h"

// "Ā.ico" opened through the open dialog (by its short name, never as the
// look-alike "A.ico"), and a save to a new name with "Ā", which is told and
// writes nothing.
void CheckNamesOutsideCodePage(Program& program, const Paths& p);
