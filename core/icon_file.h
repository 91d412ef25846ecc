// .ICO files: a 6-byte header (reserved 0, type 1, count), count 16-byte
// directory entries, then the image blocks.
#pragma once

#include <cstdint>

#include "formats/byte_cursor.h"
#include "icon_group.h"
#include "platform/handles.h"
#include "read_result.h"

// Reads the 6-byte header at the file's current position: the count (0 to
// 65535), or -1 when it can't be read or is no icon header.
int ReadIconFileHeader(HANDLE file);

// Why an icon file gives no group.
enum class IconFileFailure {
  kOpenFailed,        // the file can't be opened
  kFileOutOfMemory,   // no block for the file's bytes
  kHeaderUnreadable,  // no icon header (or the file can't be read)
  kDirectoryCut,      // the file ends inside the directory
  kGroupOutOfMemory,  // no block for the group
  kOutOfMemory,       // no block for an image, or the images pass the limits
  kTooLarge,          // an image lies beyond what is read of a huge file
  kOffsetOutOfRange,  // an image offset no file position reaches (2^31 or more)
  kImageCut,          // the file ends inside an image
  kImageInvalid,      // an image that is no icon image
  kOverBudget,        // distinct images that together take more than the file holds
};

// Reads the icon file whose first bytes are `bytes` (all of them when it is
// `fileLength` bytes long) into a new group with an empty iconPath and
// modulePath. Shows nothing and touches no file.
ReadResult<IconGroupPtr, IconFileFailure> ReadIconFile(ByteView bytes, std::uint64_t fileLength);

// Reads an icon file into a new group owned by the caller, or shows a message
// (the path as caption) and returns null, leaving why in `failure` when given.
// At most limits::kMaxIconFileBytes of the file are read.
IconGroup* LoadIconFile(const char* path, IconFileFailure* failure = nullptr);

// Writes reserved 0, type 1 and the low 16 bits of count. 1 or 0.
int WriteIconFileHeader(HANDLE file, std::uint32_t count);

// File offset of image n's block: behind the header, the directory and the
// blocks of the images before it.
std::uint32_t ImageFileOffset(const IconGroup* group, std::uint32_t n);

// Bytes of the icon file SaveIconFile writes of the group: the header, the
// directory and every record's block, shared ones each time.
std::uint64_t IconFileBytes(const IconGroup* group);

// Writes every image of the group, in order, as an icon file at path. The
// target is replaced only once the whole file is written. 1 or 0; a group
// whose file would pass the output budget of the bytes it holds
// (limits::OutputBudget) is not written, with a message. With a valid
// `made`, the file just made at path for it (ReplacementFile's Create),
// written directly.
int SaveIconFile(const IconGroup* group, const char* path, FileHandle* made = nullptr);
