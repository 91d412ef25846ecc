// .CUR files: a 6-byte header (reserved 0, type 2, count), count 16-byte
// entries naming each image's size, hot spot and offset, then the images.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/icon_directory.h"

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

// Writes the images, in order, as a cursor file at path; each entry's width,
// height and colour count come from its image's own header. The target is
// replaced only once the whole file is written; false after a message.
bool SaveCursorFile(const std::vector<CursorImage>& images, const char* path);
