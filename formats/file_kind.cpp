#include "file_kind.h"

#include <cstring>

#include "png_header.h"

namespace file_kind {

namespace {

bool StartsWith(ByteView bytes, std::size_t at, const char* text) {
  const std::size_t length = std::strlen(text);
  return bytes.Holds(at, length) && std::memcmp(bytes.Data() + at, text, length) == 0;
}

}  // namespace

Kind KindOf(ByteView start) {
  std::uint16_t reserved = 0, type = 0;
  if (start.U16(0, &reserved) && start.U16(2, &type) && reserved == 0 && (type == 1 || type == 2)) {
    return type == 1 ? Kind::kIcon : Kind::kCursor;
  }
  if (StartsWith(start, 0, "MZ")) return Kind::kModule;
  if (StartsWith(start, 0, "BM")) return Kind::kBitmap;
  if (StartsWith(start, 0, "RIFF") && StartsWith(start, 8, "ACON")) return Kind::kAnimatedCursor;
  if (png::HasSignature(start)) return Kind::kPng;
  if (StartsWith(start, 0, "icns")) return Kind::kMacIcon;
  if (StartsWith(start, 0, "PK\x03\x04") || StartsWith(start, 0, "PK\x05\x06") || StartsWith(start, 0, "PK\x07\x08")) {
    return Kind::kZip;
  }
  return Kind::kUnknown;
}

}  // namespace file_kind
