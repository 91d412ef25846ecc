// What an icon or cursor lacks or gets wrong for Windows, from its directory
// entries and image blocks as stored: each finding an error where Windows
// shows something wrong or nothing, a warning where it scales or guesses.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/icon_directory.h"

// One directory entry and the bytes it names (empty where they are not
// there: outside the file, or a resource the module lacks).
struct LintedImage {
  icon_directory::Entry entry{};
  ByteView block;
};

struct LintedGroup {
  bool cursor = false;
  std::vector<LintedImage> images;
};

enum class FindingKind {
  kMissingSizes,      // group: `sizes` lists the Windows sizes it lacks
  kUndecodable,       // the image's bytes are not there, or don't decode
  kLargeBitmap,       // a side of 256 or more stored as a bitmap, not PNG
  kOver256,           // a side over 256, which Windows never picks
  kSideMismatch,      // the entry's width or height is not the image's
  kDepthMismatch,     // the entry's planes x bit count is not the bitmap's
  kPngDepthMismatch,  // the same for a PNG image
  kBytesMismatch,     // the entry's byte count is not what the image takes
  kMaskMismatch,      // `count` pixels whose AND bit says other than alpha
  kDuplicate,         // the same size and depth as image `other`
};

enum class Severity { kWarning, kError };

struct Finding {
  Severity severity = Severity::kWarning;
  FindingKind kind = FindingKind::kMissingSizes;
  std::int32_t image = -1;  // -1: the group
  std::int32_t width = 0;   // the image's own
  std::int32_t height = 0;
  std::int64_t stated = 0;  // what the entry says (side, depth or bytes)
  std::int64_t actual = 0;  // what the image is
  std::int64_t count = 0;   // kMaskMismatch's pixels, kDuplicate's other image
  std::vector<std::int32_t> sizes;
};

// The group's findings, image by image in directory order, then the group's.
std::vector<Finding> LintGroup(const LintedGroup& group);
