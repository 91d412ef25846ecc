// .ICO files: a 6-byte header (reserved 0, type 1, count), count 16-byte
// directory entries, then the image blocks.
#pragma once

#include <cstdint>

#include "icon_group.h"

// Reads the 6-byte header at the file's current position: the count (0 to
// 65535), or -1 when it can't be read or is no icon header.
int ReadIconFileHeader(HANDLE file);

// Reads an icon file into a new group owned by the caller, or shows a message
// (the path as caption) and returns null.
IconGroup* LoadIconFile(const char* path);

// Writes reserved 0, type 1 and the low 16 bits of count. 1 or 0.
int WriteIconFileHeader(HANDLE file, std::uint32_t count);

// File offset of image n's block: behind the header, the directory and the
// blocks of the images before it.
std::uint32_t ImageFileOffset(const IconGroup* group, std::uint32_t n);

// Writes every image of the group, in order, as an icon file at path. The
// target is replaced only once the whole file is written. 1 or 0.
int SaveIconFile(const IconGroup* group, const char* path);
