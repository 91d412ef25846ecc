// The one writer of directory files: .ICO and .CUR files, a 6-byte header
// (reserved 0, type, count), a 16-byte entry for each image, then the image
// blocks in the entries' order.
#pragma once

#include <cstdint>

#include "icon_group.h"
#include "platform/handles.h"

// The directory entry of one image, in a file at `offset` or, with its
// resource identifier set, in a module's group. An icon's gives the header's
// planes and bit count, or for a PNG image (which has none) those its
// source's entry gave, else one plane of bitsPerPixel bits; a cursor's has
// the hot spot in their place.
icon_directory::Entry ImageDirectoryEntry(const IconImage& image, std::uint16_t type, std::uint32_t offset);

// Bytes of the file WriteDirectoryFile writes of the images: the header,
// the directory and every image's block, shared ones each time.
std::uint64_t DirectoryFileBytes(const IconImage* images, std::uint32_t count);

// Writes the images, in order, as an icon file (icon_directory::kIconType)
// or a cursor file (kCursorType, each entry with its image's hot spot) at
// path. The target is replaced only once the whole file is written; false
// after a message. Images that together would make a file past the output
// budget of the distinct bytes they hold (limits::OutputBudget), or more
// than a directory counts, are not written. With a valid `made`, the file
// just made at path for it (ReplacementFile's Create), written directly.
bool WriteDirectoryFile(const IconImage* images, std::uint32_t count, std::uint16_t type, const char* path,
                        FileHandle* made);
