#include "icon_file.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <utility>

#include "file_io.h"
#include "formats/checked_size.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "read_result.h"

namespace {

using IconFileResult = ReadResult<IconGroupPtr, IconFileFailure>;

bool ParseHeader(ByteView bytes, std::uint16_t* count) {
  ByteCursor cursor(bytes);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header) || !icon_directory::IsIconHeader(header)) return false;
  *count = header.count;
  return true;
}

// The record that first took the bytes at each (offset, length): entries
// naming the same bytes share its block.
using BlocksRead = std::map<std::pair<std::uint32_t, std::uint32_t>, const IconImage*>;

// Copies an entry's block into its record (or shares the block of a record
// that has its bytes) and binds it; the group's count already includes the
// record, so that the block is freed with the group.
bool FillRecord(ByteView bytes, std::uint64_t fileLength, const icon_directory::Entry& entry,
                std::uint64_t* groupBytes, BlocksRead* blocks, IconImage* image, IconFileFailure* failure) {
  const std::uint32_t size = entry.bytes, offset = entry.fileOffset;
  // Offsets a signed 32-bit file position can't reach are refused as the
  // platform's seek refuses them.
  if (offset > static_cast<std::uint32_t>(INT32_MAX)) {
    *failure = IconFileFailure::kOffsetOutOfRange;
    return false;
  }
  if (!Reaches(bytes, fileLength, offset, size, IconFileFailure::kImageCut, failure)) return false;
  const auto known = blocks->find({offset, size});
  if (known != blocks->end()) {
    image->bits = known->second->bits;
    image->sharesBits = true;
  } else {
    *groupBytes += size;
    *failure = IconFileFailure::kOutOfMemory;
    if (size > limits::kMaxBlockBytes || *groupBytes > limits::kMaxGroupBytes) return false;
    *failure = IconFileFailure::kOverBudget;
    if (*groupBytes > fileLength) return false;
    *failure = IconFileFailure::kOutOfMemory;
    image->bits = static_cast<BYTE*>(std::malloc(size ? size : 1));
    if (image->bits == nullptr) return false;
    if (size != 0) std::memcpy(image->bits, bytes.Data() + offset, size);
    try {
      blocks->emplace(std::make_pair(offset, size), image);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  image->byteCount = size;
  *failure = IconFileFailure::kImageInvalid;
  if (!BindImagePointers(image)) return false;
  TakeEntryDepth(image, entry.planes, entry.bitCount);
  return true;
}

Message IconFileMessage(IconFileFailure failure) {
  switch (failure) {
    case IconFileFailure::kOpenFailed: return Message::kIconOpenFailed;
    case IconFileFailure::kFileOutOfMemory: return Message::kIconDirectoryOutOfMemory;
    case IconFileFailure::kGroupOutOfMemory: return Message::kIconGroupOutOfMemory;
    case IconFileFailure::kHeaderUnreadable: return Message::kIconHeaderReadFailed;
    case IconFileFailure::kDirectoryCut: return Message::kIconFileReadFailed;
    case IconFileFailure::kOutOfMemory: return Message::kIconOutOfMemory;
    case IconFileFailure::kTooLarge: return Message::kIconOutOfMemory;
    case IconFileFailure::kOffsetOutOfRange: return Message::kIconSeekFailed;
    case IconFileFailure::kImageCut: return Message::kIconImageReadFailed;
    case IconFileFailure::kImageInvalid: return Message::kIconImageInvalid;
    case IconFileFailure::kOverBudget: return Message::kOverMemoryBudget;
  }
  return Message::kIconFileReadFailed;
}

}  // namespace

int ReadIconFileHeader(HANDLE file) {
  std::uint8_t bytes[icon_directory::kHeaderBytes];
  std::uint16_t count = 0;
  if (!ReadExactly(file, bytes, sizeof bytes) || !ParseHeader(ByteView(bytes, sizeof bytes), &count)) return -1;
  return count;
}

IconFileResult ReadIconFile(ByteView bytes, std::uint64_t fileLength) {
  std::uint16_t count = 0;
  if (!ParseHeader(bytes, &count)) return IconFileFailure::kHeaderUnreadable;
  std::uint64_t directoryBytes = 0;
  IconFileFailure failure = IconFileFailure::kDirectoryCut;
  if (!CheckedMul(count, icon_directory::kFileEntryBytes, &directoryBytes) ||
      !Reaches(bytes, fileLength, icon_directory::kHeaderBytes, directoryBytes, IconFileFailure::kDirectoryCut,
               &failure)) {
    return failure;
  }

  IconGroupPtr group(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(count))));
  if (!group) return IconFileFailure::kGroupOutOfMemory;
  SetGroupPath(group->iconPath, "");
  SetGroupPath(group->modulePath, "");
  ByteCursor entries(bytes.Sub(icon_directory::kHeaderBytes, directoryBytes));
  std::uint64_t groupBytes = 0;
  BlocksRead blocks;
  for (std::uint32_t i = 0; i < count; ++i) {
    icon_directory::Entry entry;
    if (!icon_directory::ReadFileEntry(entries, &entry)) return IconFileFailure::kDirectoryCut;
    group->imageCount = i + 1;
    if (!FillRecord(bytes, fileLength, entry, &groupBytes, &blocks, GroupImage(group.get(), i), &failure)) {
      return failure;
    }
  }
  return IconFileResult(std::move(group));
}

IconGroup* LoadIconFile(const char* path, IconFileFailure* failure) {
  IconGroupPtr group = ReadFileThrough(
      path, limits::kMaxIconFileBytes,
      FileReadFailures<IconFileFailure>{IconFileFailure::kOpenFailed, IconFileFailure::kHeaderUnreadable,
                                        IconFileFailure::kFileOutOfMemory},
      IconFileMessage, ReadIconFile, failure);
  if (group) SetGroupPath(group->iconPath, path);
  return group.release();
}
