// Icon file reading over the input's bytes, then writing the group back (the
// writer only writes files) and reading that file again: the same images
// must come back.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/cursor_file.h"
#include "core/icon_file.h"
#include "fuzz_support.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "round trip broke: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  // The same bytes as a cursor file (its directory is the icon file's), or
  // an animated cursor of such files, written back by the same writer: the
  // same images and hot spots come back.
  IconGroupPtr cursor = ReadCursorFile(ByteView(data, size), size).Take();
  std::string cursorCopy = FuzzOutputPath("cur");
  if (cursor && SaveCursorFile(cursor.get(), cursorCopy.c_str())) {
    IconGroupPtr back = LoadCursorFile(cursorCopy.c_str());
    Check(back && back->imageCount == cursor->imageCount, "cursor image count");
    for (std::uint32_t i = 0; i < cursor->imageCount; ++i) {
      const IconImage& a = *GroupImage(cursor.get(), i);
      const IconImage& b = *GroupImage(back.get(), i);
      Check(a.hotSpot.x == b.hotSpot.x && a.hotSpot.y == b.hotSpot.y, "hot spot");
      Check(a.byteCount == b.byteCount && std::memcmp(a.bits, b.bits, a.byteCount) == 0, "cursor block bytes");
    }
    std::remove(cursorCopy.c_str());
  }
  IconGroupPtr read = ReadIconFile(ByteView(data, size), size).Take();
  if (!read) return 0;
  IconGroup* group = read.get();
  std::string copy = FuzzOutputPath("ico");
  if (SaveIconFile(group, copy.c_str())) {
    IconGroup* back = LoadIconFile(copy.c_str());
    Check(back != nullptr, "written file does not read");
    Check(back->imageCount == group->imageCount, "image count");
    for (std::uint32_t i = 0; i < group->imageCount; ++i) {
      const IconImage& a = *GroupImage(group, i);
      const IconImage& b = *GroupImage(back, i);
      Check(a.byteCount == b.byteCount, "byte count");
      Check(a.width == b.width && a.height == b.height, "size");
      Check(a.bitsPerPixel == b.bitsPerPixel, "depth");
      // Only biSizeImage (bytes 20 to 23 of a DIB header) may differ.
      std::size_t same = a.header ? 20 : a.byteCount;
      Check(std::memcmp(a.bits, b.bits, same) == 0, "block bytes");
      if (a.header) {
        Check(std::memcmp(a.bits + 24, b.bits + 24, a.byteCount - 24) == 0, "block bytes");
      }
    }
    FreeIconGroup(back);
    std::remove(copy.c_str());
  }
  return 0;
}
