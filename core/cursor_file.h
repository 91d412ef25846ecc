// .CUR files: a 6-byte header (reserved 0, type 2, count), count 16-byte
// entries naming each image's size, hot spot and offset, then the images;
// read and written. Animated cursors (.ANI) are read as the cursor of their
// frames, each frame's first image in the order the file stores them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/icon_directory.h"
#include "icon_group.h"
#include "platform/handles.h"
#include "read_result.h"

struct CursorImage {
  icon_directory::HotSpot hotSpot;
  // The image as the module stores it behind the hot spot: valid while the
  // module stays loaded.
  ByteView bits;
  // From the image's own header.
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitsPerPixel;
};

// The image's size and depth from its own header, as an icon image of a
// group is bound; false when it is none.
bool BindCursorImage(CursorImage* cursor);

// Why a .CUR file gives no cursor.
enum class CursorFileFailure {
  kOpenFailed,       // the file can't be opened
  kReadFailed,       // the platform's read fails
  kFileOutOfMemory,  // no block for the file's bytes
  kNotACursor,       // no cursor header
  kDirectoryCut,     // the file ends inside the directory
  kImageCut,         // the file ends inside an image
  kTooLarge,         // an image lies beyond what is read of a huge file
  kImageInvalid,     // an image that is no icon image
  kAnimationDamaged, // an animated cursor whose chunks or frames don't read
};

// A .CUR file's images, each with its hot spot, over a copy of its bytes; an
// animated cursor's frames.
class CursorFile {
 public:
  const std::vector<CursorImage>& Images() const { return images_; }
  // An animated cursor, whose images are frames: each is a cursor of its own.
  bool IsAnimated() const { return animated_; }

 private:
  friend ReadResult<std::unique_ptr<CursorFile>, CursorFileFailure> ReadCursorFile(ByteView, std::uint64_t);
  HeapPtr<std::uint8_t> bytes_;
  std::vector<CursorImage> images_;
  bool animated_ = false;
};

// Reads the cursor file whose first bytes are `bytes` (all of them when it is
// `fileLength` bytes long); a header of type 1 is read as a cursor's too, as
// Windows loads a .CUR. Shows nothing and touches no file.
ReadResult<std::unique_ptr<CursorFile>, CursorFileFailure> ReadCursorFile(ByteView bytes, std::uint64_t fileLength);

// Reads the cursor file at `path`, or shows a message (the path as caption)
// and returns null.
std::unique_ptr<CursorFile> LoadCursorFile(const char* path);

// The images as an icon group, as an .ICO file holds them: the bytes
// unchanged, the hot spots dropped. Null when memory runs out or they pass
// the group's limits.
IconGroupPtr CursorImagesAsGroup(const std::vector<CursorImage>& images);

// Bytes of the cursor file SaveCursorFile writes of the images: the header,
// the directory and every image's block, shared ones each time.
std::uint64_t CursorFileBytes(const std::vector<CursorImage>& images);

// Writes the images, in order, as a cursor file at path; each entry's width,
// height and colour count come from its image's own header. The target is
// replaced only once the whole file is written; false after a message.
bool SaveCursorFile(const std::vector<CursorImage>& images, const char* path, FileHandle* made = nullptr);
