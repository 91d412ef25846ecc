// info and save of a module's group cursors (--cursors, or a cursor named by
// --entry or a .cur target).
#pragma once

#include "arguments.h"

#include <string>

#include "opened.h"
#include "source.h"

int InfoCursors(const Arguments& args);
// Saves the cursor as a .cur file: every image, or the one --image names (an
// animated cursor's frame, the first unless named).
int SaveCursor(const Arguments& args);
// Reads the cursor asked for into the source's document as an icon of its
// images, its one entry; kListed with the entry's text, else kFailed after a
// message.
Opened OpenCursorAsIcon(Source& source, const Arguments& args, std::string* entryText);
