#include "icon_directory.h"

#include <algorithm>

#include "little_endian.h"

namespace icon_directory {

bool ReadHeader(ByteCursor& cursor, Header* header) {
  return cursor.ReadU16(&header->reserved) && cursor.ReadU16(&header->type) && cursor.ReadU16(&header->count);
}

bool IsIconHeader(const Header& header) { return header.reserved == 0 && header.type == kIconType; }

namespace {

// The 8 bytes the two kinds of entry share: sizes, colours, planes, depth.
bool ReadEntryStart(ByteCursor& cursor, Entry* entry) {
  std::uint8_t reserved;
  return cursor.ReadU8(&entry->width) && cursor.ReadU8(&entry->height) && cursor.ReadU8(&entry->colorCount) &&
         cursor.ReadU8(&reserved) && cursor.ReadU16(&entry->planes) && cursor.ReadU16(&entry->bitCount) &&
         cursor.ReadU32(&entry->bytes);
}

}  // namespace

bool ReadFileEntry(ByteCursor& cursor, Entry* entry) {
  if (cursor.Remaining() < kFileEntryBytes) return false;
  entry->resourceId = 0;
  return ReadEntryStart(cursor, entry) && cursor.ReadU32(&entry->fileOffset);
}

bool ReadGroupEntry(ByteCursor& cursor, Entry* entry) {
  if (cursor.Remaining() < kGroupEntryBytes) return false;
  entry->fileOffset = 0;
  return ReadEntryStart(cursor, entry) && cursor.ReadU16(&entry->resourceId);
}

bool GroupHoldsEntries(ByteView group) {
  ByteCursor cursor(group);
  Header header;
  return ReadHeader(cursor, &header) && std::size_t{header.count} * kGroupEntryBytes <= cursor.Remaining();
}

bool GroupEntryAt(ByteView group, std::size_t index, Entry* entry) {
  ByteCursor cursor(group);
  return cursor.Seek(kHeaderBytes) && index <= cursor.Remaining() / kGroupEntryBytes &&
         cursor.Skip(index * kGroupEntryBytes) && ReadGroupEntry(cursor, entry);
}

bool FindGroupEntry(ByteView group, std::uint16_t id, Entry* entry) {
  ByteCursor cursor(group);
  Header header;
  if (!ReadHeader(cursor, &header)) return false;
  for (std::uint32_t i = 0; i < header.count; ++i) {
    if (!ReadGroupEntry(cursor, entry)) return false;
    if (entry->resourceId == id) return true;
  }
  return false;
}

namespace {

std::uint8_t SideByte(std::int64_t side) { return side >= 1 && side < 256 ? static_cast<std::uint8_t>(side) : 0; }

}  // namespace

void SetSideBytes(Entry* entry, std::int64_t width, std::int64_t height) {
  entry->width = SideByte(width);
  entry->height = SideByte(height);
}

std::uint8_t ColorCountByte(std::uint32_t depth) { return static_cast<std::uint8_t>(depth < 8 ? 1u << depth : 0); }

bool SplitCursorResource(ByteView resource, HotSpot* hotSpot, ByteView* image) {
  ByteCursor cursor(resource);
  if (!cursor.ReadU16(&hotSpot->x) || !cursor.ReadU16(&hotSpot->y)) return false;
  *image = resource.Sub(kHotSpotBytes, resource.Length() - kHotSpotBytes);
  return true;
}

Entry CursorFileEntry(const Entry& image, HotSpot hotSpot) {
  Entry entry = image;
  entry.planes = hotSpot.x;
  entry.bitCount = hotSpot.y;
  return entry;
}

void WriteHeader(std::uint8_t (&out)[kHeaderBytes], std::uint16_t type, std::uint16_t count) {
  PutU16(out, 0);
  PutU16(out + 2, type);
  PutU16(out + 4, count);
}

void WriteFileEntry(std::uint8_t (&out)[kFileEntryBytes], const Entry& entry) {
  out[0] = entry.width;
  out[1] = entry.height;
  out[2] = entry.colorCount;
  out[3] = 0;
  PutU16(out + 4, entry.planes);
  PutU16(out + 6, entry.bitCount);
  PutU32(out + 8, entry.bytes);
  PutU32(out + 12, entry.fileOffset);
}

void WriteGroupEntry(std::uint8_t (&out)[kGroupEntryBytes], const Entry& entry) {
  std::uint8_t file[kFileEntryBytes];
  WriteFileEntry(file, entry);
  std::copy(file, file + 12, out);
  PutU16(out + 12, entry.resourceId);
}

}  // namespace icon_directory
