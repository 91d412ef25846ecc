// .PNG files of one icon image: the image a group is saved as, its PNG
// stream, and the file.
#pragma once

#include <cstdint>
#include <vector>

#include "icon_group.h"
#include "platform/handles.h"

// How far the image's depth lies from the display's 32 bits: of images of
// one size, Windows' best fit (LookupIconIdFromDirectoryEx) takes the
// nearest, the first of those.
std::uint32_t DepthDistance(const IconImage& image);

// The index of the group's largest image, the one a PNG file shows: most
// pixels, then of those the depth nearest 32 bits, then the first, as
// Windows takes one. Only records below imageCount that hold a block count;
// -1 when there is none.
int LargestImageIndex(const IconGroup* group);

// The image as a PNG stream: a PNG-compressed image as it is stored once it
// is seen to decode within the limits, any other encoded with its
// transparency (icon_rgba.h). False when the block can't be decoded, is too
// large, or memory runs out.
bool IconImageAsPng(const IconImage* image, std::vector<std::uint8_t>* png);

// Writes the image as a PNG file. The target is replaced only once the whole
// file is written; with a valid `made`, the file just made at path for it
// (ReplacementFile's Create) is written directly. Failures are shown with
// the path as caption. 1 or 0.
int SaveImageAsPng(const char* path, const IconImage* image, FileHandle* made = nullptr);

// Writes a PNG stream as the file, replaced only once the whole stream is
// written; with keepFile, a file that is there is written in place
// (ReplacementFile::CreateKeepingFile). Failures are shown with the path as
// caption. 1 or 0.
int WritePngFile(const char* path, const std::vector<std::uint8_t>& png, bool keepFile = false,
                 FileHandle* made = nullptr);

// Writes the group's largest image as a PNG file; 0 without a message when
// the group has no image.
int SaveLargestImageAsPng(const IconGroup* group, const char* path, FileHandle* made = nullptr);
