// info and save of a module's group cursors (--cursors, or a cursor named by
// --entry or a .cur target).
#pragma once

#include "arguments.h"

int InfoCursors(const Arguments& args);
int SaveCursor(const Arguments& args);
