// info and save of a module's group cursors (--cursors, or a cursor named by
// --entry or a .cur target).
#pragma once

#include "arguments.h"

#include <cstdint>
#include <optional>
#include <string>

#include "opened.h"
#include "source.h"

int InfoCursors(const Arguments& args);
// Saves the cursor as a .cur file: every image, or the one --image names; of
// an animated cursor the frame --image F names (the first unless named), or
// its image I with --image F.I.
int SaveCursor(const Arguments& args);
// Reads the cursor asked for into the source's document as an icon of its
// images, its one entry; kListed with the entry's text, else kFailed after a
// message. With --image F of an animated cursor, the icon is frame F's
// images. `image`: which of the document's images --image names (unset for
// the default).
Opened OpenCursorAsIcon(Source& source, const Arguments& args, std::string* entryText,
                        std::optional<std::uint32_t>* image = nullptr);
// The image --image names of a group that is one frame (an icon's): N, or
// 0.N; false after saying so for another frame.
bool ImageOfOneFrame(const Arguments& args, const std::string& entry, std::optional<std::uint32_t>* image);
// Reads a .CUR or .ANI file, or says why not (where an animated cursor is
// damaged) and returns null.
IconGroupPtr LoadCursor(const std::string& file);
