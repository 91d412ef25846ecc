// .CUR files: a 6-byte header (reserved 0, type 2, count), count 16-byte
// entries naming each image's size, hot spot and offset, then the images.
#pragma once

#include <vector>

#include "module_cursors.h"

// Writes the images, in order, as a cursor file at path; each entry's width,
// height and colour count come from its image's own header. The target is
// replaced only once the whole file is written; false after a message.
bool SaveCursorFile(const std::vector<CursorImage>& images, const char* path);
