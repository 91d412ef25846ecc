// What a file is, by its first bytes: the kinds Pictrove reads, and those
// people most often mistake for them, so that a refusal can name them.
#pragma once

#include <cstddef>

#include "byte_cursor.h"

namespace file_kind {

enum class Kind {
  kUnknown,         // none of these, or too short to tell
  kModule,          // "MZ": a 16- or 32-bit Windows module
  kIcon,            // reserved 0, type 1
  kCursor,          // reserved 0, type 2
  kBitmap,          // "BM"
  kAnimatedCursor,  // "RIFF", then "ACON"
  kPng,
  kMacIcon,  // "icns"
  kZip,      // "PK" and a local file, the end of a directory or a spanned archive
};

// Bytes enough to tell every kind.
constexpr std::size_t kTellingBytes = 12;

// The kind the file's first bytes (as many as it has, up to kTellingBytes)
// show.
Kind KindOf(ByteView start);

}  // namespace file_kind
