// .PNG files of one icon image: the image a group is saved as, its PNG
// stream, and the file.
#pragma once

#include <cstdint>
#include <vector>

#include "codecs/decode_outcome.h"
#include "icon_group.h"
#include "image_choice.h"
#include "platform/handles.h"

// The image as a PNG stream: a PNG-compressed image as it is stored once it
// is seen to decode within the limits, any other encoded with its
// transparency (codecs/icon_rgba.h). The decoder's outcome; an encoder that
// fails has run out of memory.
DecodeOutcome IconImageAsPng(const IconImage* image, std::vector<std::uint8_t>* png);

// The PNG streams of a group's images, tried in `order` (ImagesLargestFirst
// for the default, one image when one is asked for) until one is made.
ChosenPng GroupPng(const IconGroup* group, const std::vector<std::uint32_t>& order);

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
