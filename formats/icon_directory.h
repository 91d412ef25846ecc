// Icon directories. An .ICO (or .CUR) file starts with a 6-byte header
// (reserved 0, type, count) and one 16-byte entry per image naming its size
// and file offset; a module's group-icon (or group-cursor) resource has the
// same header and one 14-byte entry per image naming its icon resource.
#pragma once

#include <cstddef>
#include <cstdint>

#include "byte_cursor.h"

namespace icon_directory {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kFileEntryBytes = 16;
constexpr std::size_t kGroupEntryBytes = 14;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
// The count is 16 bits.
constexpr std::size_t kMaxEntries = 65535;

struct Header {
  std::uint16_t reserved;
  std::uint16_t type;
  std::uint16_t count;
};

// One entry as stored. A width or height byte of 0 stands for 256 (or more).
struct Entry {
  std::uint8_t width;
  std::uint8_t height;
  std::uint8_t colorCount;
  std::uint16_t planes;
  std::uint16_t bitCount;
  std::uint32_t bytes;
  std::uint32_t fileOffset;   // file entries
  std::uint16_t resourceId;   // group entries
};

bool ReadHeader(ByteCursor& cursor, Header* header);
// An icon (not cursor) directory: reserved 0, type 1.
bool IsIconHeader(const Header& header);

bool ReadFileEntry(ByteCursor& cursor, Entry* entry);
bool ReadGroupEntry(ByteCursor& cursor, Entry* entry);

// True when the bytes hold the header and every group entry it counts.
bool GroupHoldsEntries(ByteView group);
// Group entry `index`; false when it is not inside the bytes.
bool GroupEntryAt(ByteView group, std::size_t index, Entry* entry);
// The first entry, among those the group counts and holds, that names icon
// resource `id`; false when none does.
bool FindGroupEntry(ByteView group, std::uint16_t id, Entry* entry);

// The entry's byte for a side: sides of 256 and more are stored as 0.
std::uint8_t SideByte(std::int64_t side);

void WriteHeader(std::uint8_t (&out)[kHeaderBytes], std::uint16_t type, std::uint16_t count);
void WriteFileEntry(std::uint8_t (&out)[kFileEntryBytes], const Entry& entry);

// File offset of the first image block behind a directory of `count` entries.
constexpr std::uint64_t FirstBlockOffset(std::uint64_t count) {
  return kHeaderBytes + kFileEntryBytes * count;
}

}  // namespace icon_directory
