#include "icon_file.h"

#include <climits>
#include <cstdint>
#include <utility>

#include "file_io.h"
#include "formats/checked_size.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "group_builder.h"
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

IconFileFailure FailureOf(GroupBuildFailure failure) {
  switch (failure) {
    case GroupBuildFailure::kOverBudget: return IconFileFailure::kOverBudget;
    case GroupBuildFailure::kNotAnImage: return IconFileFailure::kImageInvalid;
    default: return IconFileFailure::kOutOfMemory;
  }
}

// Adds the image an entry names to the group; offsets a signed 32-bit file
// position can't reach are refused as the platform's seek refuses them.
bool AddEntryImage(ByteView bytes, std::uint64_t fileLength, const icon_directory::Entry& entry,
                   GroupBuilder* builder, IconFileFailure* failure) {
  if (entry.fileOffset > static_cast<std::uint32_t>(INT32_MAX)) {
    *failure = IconFileFailure::kOffsetOutOfRange;
    return false;
  }
  if (!Reaches(bytes, fileLength, entry.fileOffset, entry.bytes, IconFileFailure::kImageCut, failure)) return false;
  const GroupBuildFailure added =
      builder->Add(bytes.Sub(entry.fileOffset, entry.bytes), {entry.planes, entry.bitCount, {}, entry.fileOffset});
  if (added == GroupBuildFailure::kNone) return true;
  *failure = FailureOf(added);
  return false;
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

  // Distinct images together take no more than the file holds.
  GroupBuilder builder(fileLength);
  if (!builder.Start(count, false)) return IconFileFailure::kGroupOutOfMemory;
  ByteCursor entries(bytes.Sub(icon_directory::kHeaderBytes, directoryBytes));
  for (std::uint32_t i = 0; i < count; ++i) {
    icon_directory::Entry entry;
    if (!icon_directory::ReadFileEntry(entries, &entry)) return IconFileFailure::kDirectoryCut;
    if (!AddEntryImage(bytes, fileLength, entry, &builder, &failure)) return failure;
  }
  return IconFileResult(builder.Take());
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
