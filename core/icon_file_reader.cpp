#include <climits>
#include <cstdlib>
#include <cstring>

#include "formats/icon_directory.h"
#include "file_io.h"
#include "platform/handles.h"
#include "icon_file.h"
#include "messages.h"
#include "formats/input_limits.h"

namespace {

// Frees the blocks of the first `filled` records of a group that is not
// handed out.
struct PartialGroup {
  IconGroup* group = nullptr;
  std::uint32_t filled = 0;
  ~PartialGroup() {
    if (group == nullptr) return;
    for (std::uint32_t i = 0; i < filled; ++i) std::free(GroupImage(group, i)->bits);
    std::free(group);
  }
  IconGroup* Release() { return std::exchange(group, nullptr); }
};

IconGroup* Fail(const char* path, Message message) {
  ShowMessage(message, path);
  return nullptr;
}

}  // namespace

int ReadIconFileHeader(HANDLE file) {
  std::uint8_t bytes[icon_directory::kHeaderBytes];
  if (!ReadExactly(file, bytes, sizeof bytes)) return -1;
  ByteCursor cursor(bytes, sizeof bytes);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header) || !icon_directory::IsIconHeader(header)) {
    return -1;
  }
  return header.count;
}

IconGroup* LoadIconFile(const char* path) {
  FileHandle file(OpenForReading(path));
  if (!file.IsValid()) return Fail(path, Message::kIconOpenFailed);

  PartialGroup building;
  building.group = static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(1)));
  if (building.group == nullptr) return Fail(path, Message::kIconGroupOutOfMemory);

  int count = ReadIconFileHeader(file.Get());
  if (count < 0) return Fail(path, Message::kIconHeaderReadFailed);
  auto imageCount = static_cast<std::uint32_t>(count);
  // A count whose directory the file can't hold is refused with the message
  // its short read gives, before a group is sized from it.
  std::uint64_t fileLength = 0;
  bool lengthKnown = FileLength(file.Get(), &fileLength);
  if (lengthKnown && icon_directory::FirstBlockOffset(imageCount) > fileLength) {
    return Fail(path, Message::kIconFileReadFailed);
  }

  void* resized = std::realloc(building.group, IconGroupBytes(imageCount));
  if (resized == nullptr) return Fail(path, Message::kIconOutOfMemory);
  building.group = static_cast<IconGroup*>(resized);
  IconGroup* group = building.group;
  group->imageCount = imageCount;
  SetGroupPath(group->iconPath, path);
  SetGroupPath(group->modulePath, "");

  DWORD directoryBytes = imageCount * icon_directory::kFileEntryBytes;
  HeapPtr<BYTE> directory(static_cast<BYTE*>(std::malloc(directoryBytes ? directoryBytes : 1)));
  if (!directory) return Fail(path, Message::kIconDirectoryOutOfMemory);
  if (!ReadExactly(file.Get(), directory.get(), directoryBytes)) {
    return Fail(path, Message::kIconFileReadFailed);
  }

  std::uint64_t groupBytes = 0;
  ByteCursor entries(directory.get(), directoryBytes);
  for (std::uint32_t i = 0; i < imageCount; ++i) {
    icon_directory::Entry entry;
    if (!icon_directory::ReadFileEntry(entries, &entry)) return Fail(path, Message::kIconFileReadFailed);
    const std::uint32_t size = entry.bytes, offset = entry.fileOffset;
    // What the platform would refuse or deliver short is refused before a
    // block is sized from a number the file may be lying about.
    if (offset > static_cast<std::uint32_t>(INT32_MAX)) return Fail(path, Message::kIconSeekFailed);
    if (lengthKnown && std::uint64_t{offset} + size > fileLength) {
      return Fail(path, Message::kIconImageReadFailed);
    }
    groupBytes += size;
    if (size > limits::kMaxBlockBytes || groupBytes > limits::kMaxGroupBytes) {
      return Fail(path, Message::kIconOutOfMemory);
    }

    IconImage* image = GroupImage(group, i);
    std::memset(image, 0, sizeof *image);
    image->bits = static_cast<BYTE*>(std::malloc(size ? size : 1));
    if (image->bits == nullptr) return Fail(path, Message::kIconOutOfMemory);
    building.filled = i + 1;
    image->byteCount = size;
    if (SetFilePointer(file.Get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER) {
      return Fail(path, Message::kIconSeekFailed);
    }
    if (!ReadExactly(file.Get(), image->bits, size)) return Fail(path, Message::kIconImageReadFailed);
    if (!BindImagePointers(image)) return Fail(path, Message::kIconImageInvalid);
    TakeEntryDepth(image, entry.planes, entry.bitCount);
  }
  return building.Release();
}
