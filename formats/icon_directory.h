// Icon and cursor directories. An .ICO (or .CUR) file starts with a 6-byte
// header (reserved 0, type, count) and one 16-byte entry per image naming its
// size and file offset; a module's group-icon (or group-cursor) resource has
// the same header and one 14-byte entry per image naming its icon (or cursor)
// resource.
//
// Cursors differ in three places: a group-cursor entry stores width and
// height as two 16-bit words (the height doubled, as in the image's header)
// where a group-icon entry has width, height, colour count and a reserved
// byte, the rest (the identifier among it) lying at the same offsets; a
// cursor resource (type 1) starts with the hot spot, two 16-bit values,
// before the image; and a .CUR file's entry holds that hot spot where an
// .ICO file's entry has planes and bit count.
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

// The entry's bytes for an image's sides, each on its own. A byte holds 1 to
// 255, and 0 stands for 256: a side past 255 is stored as 0, never as its low
// 8 bits. The groups of real modules store 0 for both sides then, which
// readers take for a square; the other side is kept here.
void SetSideBytes(Entry* entry, std::int64_t width, std::int64_t height);
// The entry's colour count for an image of `depth` bits a pixel: the palette
// size below 8 bits, else 0.
std::uint8_t ColorCountByte(std::uint32_t depth);

constexpr std::size_t kHotSpotBytes = 4;

struct HotSpot {
  std::uint16_t x;
  std::uint16_t y;
};

// Splits a cursor resource into its hot spot and the image stored after it;
// false when it is too short to hold the hot spot.
bool SplitCursorResource(ByteView resource, HotSpot* hotSpot, ByteView* image);

// The entry of a .CUR file: an image's entry with the hot spot in place of
// planes and bit count.
Entry CursorFileEntry(const Entry& image, HotSpot hotSpot);

void WriteHeader(std::uint8_t (&out)[kHeaderBytes], std::uint16_t type, std::uint16_t count);
void WriteFileEntry(std::uint8_t (&out)[kFileEntryBytes], const Entry& entry);
// A group resource's entry: the file entry's fields with the image's
// resource identifier in place of its file offset.
void WriteGroupEntry(std::uint8_t (&out)[kGroupEntryBytes], const Entry& entry);

// File offset of the first image block behind a directory of `count` entries.
constexpr std::uint64_t FirstBlockOffset(std::uint64_t count) {
  return kHeaderBytes + kFileEntryBytes * count;
}

}  // namespace icon_directory
