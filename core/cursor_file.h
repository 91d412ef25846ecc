// .CUR files: a 6-byte header (reserved 0, type 2, count), count 16-byte
// entries naming each image's size, hot spot and offset, then the images;
// read into a cursor group and written from one. Animated cursors (.ANI) are
// read as the group of their frames' images, frame after frame in the order
// the file stores them.
#pragma once

#include <cstdint>

#include "formats/animated_cursor.h"
#include "formats/byte_cursor.h"
#include "icon_group.h"
#include "platform/handles.h"
#include "read_result.h"

// Why a .CUR file gives no cursor.
enum class CursorFileFailure {
  kOpenFailed,       // the file can't be opened
  kReadFailed,       // the platform's read fails
  kFileOutOfMemory,  // no block for the file's bytes, the group or an image
  kNotACursor,       // no cursor header
  kDirectoryCut,     // the file ends inside the directory
  kImageCut,         // the file ends inside an image
  kTooLarge,         // an image lies beyond what is read of a huge file
  kImageInvalid,     // an image that is no icon image
  kAnimationDamaged, // an animated cursor whose chunks or frames don't read
  kOverBudget,       // distinct images that together take more than the file holds
};

// Reads the cursor file whose first bytes are `bytes` (all of them when it is
// `fileLength` bytes long) into a cursor group (`animated` for an animated
// cursor's frames, cursor_frames.h); a header of type 1 is read as a
// cursor's too, as Windows loads a .CUR. Shows nothing and touches no file.
// An animated cursor that is damaged says where in `fault`, when given.
ReadResult<IconGroupPtr, CursorFileFailure> ReadCursorFile(ByteView bytes, std::uint64_t fileLength,
                                                           animated_cursor::Fault* fault = nullptr);

// Reads the cursor file at `path`, or shows a message (the path as caption)
// and returns null. With `fault`, a damaged animated cursor is not shown:
// `fault` says where it is damaged, for the caller to tell.
IconGroupPtr LoadCursorFile(const char* path, animated_cursor::Fault* fault = nullptr);

// Writes `count` images from `images`, in order, as a cursor file at path
// (WriteDirectoryFile); false after a message.
bool SaveCursorFile(const IconImage* images, std::uint32_t count, const char* path, FileHandle* made = nullptr);
inline bool SaveCursorFile(const IconGroup* group, const char* path, FileHandle* made = nullptr) {
  return SaveCursorFile(group->images, group->imageCount, path, made);
}
