// The DOS header that starts every Windows module, 16-bit (NE) and 32-bit
// (PE) alike: "MZ", and at 0x3C the file offset of the new header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "byte_cursor.h"

namespace dos_header {

constexpr std::size_t kBytes = 64;

// The offset of the new header; false when the file does not start with a
// whole DOS header.
inline bool NewHeaderOffset(ByteView file, std::uint32_t* offset) {
  constexpr std::uint16_t kSignature = 0x5A4D;  // "MZ"
  constexpr std::size_t kNewHeaderField = 0x3C;
  std::uint16_t signature;
  return file.Holds(0, kBytes) && file.U16(0, &signature) && signature == kSignature &&
         file.U32(kNewHeaderField, offset);
}

}  // namespace dos_header
