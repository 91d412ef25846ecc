// Animated cursors (.ANI), which the thumbnailer reaches through any file
// that starts with RIFF and ACON: the chunk reader on its own, then the
// cursor file reader over it, and each frame read written back as a .cur
// and read again: the same images and hot spots must come back.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/cursor_file.h"
#include "formats/animated_cursor.h"
#include "fuzz_support.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "round trip broke: %s\n", what);
    std::abort();
  }
}

// A frame read can be many; the first ones exercise every path.
constexpr std::size_t kFramesWritten = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  const ByteView bytes(data, size);
  animated_cursor::Animation animation;
  animated_cursor::Failure failure;
  if (animated_cursor::Read(bytes, &animation, &failure)) {
    Check(animation.frames.size() == animation.header.frames, "frame count");
    for (const ByteView& frame : animation.frames) {
      Check(frame.Data() >= data && frame.Data() + frame.Length() <= data + size, "frame outside the file");
    }
  }
  const IconGroupPtr read = ReadCursorFile(bytes, size).Take();
  if (!read) return 0;
  const std::string copy = FuzzOutputPath("cur");
  for (std::uint32_t i = 0; i < read->imageCount && i < kFramesWritten; ++i) {
    const IconImage& frame = read->images[i];
    if (!SaveCursorFile(&frame, 1, copy.c_str())) continue;
    const IconGroupPtr back = LoadCursorFile(copy.c_str());
    Check(back != nullptr, "written frame does not read");
    Check(back->imageCount == 1 && !back->animated, "frame count of the .cur");
    const IconImage& again = back->images[0];
    Check(again.hotSpot.x == frame.hotSpot.x && again.hotSpot.y == frame.hotSpot.y, "hot spot");
    Check(again.width == frame.width && again.height == frame.height, "size");
    Check(again.bitsPerPixel == frame.bitsPerPixel, "depth");
    Check(again.byteCount == frame.byteCount && std::memcmp(again.bits, frame.bits, frame.byteCount) == 0,
          "image bytes");
  }
  std::remove(copy.c_str());
  return 0;
}
