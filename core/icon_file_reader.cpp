#include <climits>
#include <cstdlib>
#include <cstring>

#include "byte_cursor.h"
#include "file_io.h"
#include "handles.h"
#include "icon_file.h"
#include "limits.h"

namespace {

constexpr std::uint32_t kDirectoryEntryBytes = 16;

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

IconGroup* Fail(const char* path, const char* text) {
  ShowMessageBox(MessageOwner(), text, path, MB_OK);
  return nullptr;
}

}  // namespace

int ReadIconFileHeader(HANDLE file) {
  BYTE field[2];
  if (!ReadExactly(file, field, 2) || (field[0] | field[1] << 8) != 0) return -1;
  if (!ReadExactly(file, field, 2) || (field[0] | field[1] << 8) != 1) return -1;
  if (!ReadExactly(file, field, 2)) return -1;
  return field[0] | field[1] << 8;
}

IconGroup* LoadIconFile(const char* path) {
  FileHandle file(OpenForReading(path));
  if (!file.IsValid()) return Fail(path, "图标文件打开时出错!");

  PartialGroup building;
  building.group = static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(1)));
  if (building.group == nullptr) return Fail(path, "图标分配内存时出错!");

  int count = ReadIconFileHeader(file.Get());
  if (count < 0) return Fail(path, "读图标文件头时出错!");
  auto imageCount = static_cast<std::uint32_t>(count);
  // A count whose directory the file can't hold is refused with the message
  // its short read gives, before a group is sized from it.
  std::uint64_t fileLength = 0;
  bool lengthKnown = FileLength(file.Get(), &fileLength);
  if (lengthKnown && 6 + std::uint64_t{kDirectoryEntryBytes} * imageCount > fileLength) {
    return Fail(path, "读图标文件时出错!");
  }

  void* resized = std::realloc(building.group, IconGroupBytes(imageCount));
  if (resized == nullptr) return Fail(path, "图标内存重新分配出错!");
  building.group = static_cast<IconGroup*>(resized);
  IconGroup* group = building.group;
  group->imageCount = imageCount;
  SetGroupPath(group->iconPath, path);
  SetGroupPath(group->modulePath, "");

  DWORD directoryBytes = imageCount * kDirectoryEntryBytes;
  HeapPtr<BYTE> directory(static_cast<BYTE*>(std::malloc(directoryBytes ? directoryBytes : 1)));
  if (!directory) return Fail(path, "图标文件内存重新分配出错!");
  if (!ReadExactly(file.Get(), directory.get(), directoryBytes)) {
    return Fail(path, "读图标文件时出错!");
  }

  std::uint64_t groupBytes = 0;
  ByteCursor entries(directory.get(), directoryBytes);
  for (std::uint32_t i = 0; i < imageCount; ++i) {
    std::uint32_t size = 0, offset = 0;
    if (!entries.Skip(8) || !entries.ReadU32(&size) || !entries.ReadU32(&offset)) {
      return Fail(path, "读图标文件时出错!");
    }
    // What the platform would refuse or deliver short is refused before a
    // block is sized from a number the file may be lying about.
    if (offset > static_cast<std::uint32_t>(INT32_MAX)) return Fail(path, "图标内容定位时出错!");
    if (lengthKnown && std::uint64_t{offset} + size > fileLength) {
      return Fail(path, "读图标内容出错!");
    }
    groupBytes += size;
    if (size > limits::kMaxBlockBytes || groupBytes > limits::kMaxGroupBytes) {
      return Fail(path, "图标内存重新分配出错!");
    }

    IconImage* image = GroupImage(group, i);
    std::memset(image, 0, sizeof *image);
    image->bits = static_cast<BYTE*>(std::malloc(size ? size : 1));
    if (image->bits == nullptr) return Fail(path, "图标内存重新分配出错!");
    building.filled = i + 1;
    image->byteCount = size;
    if (SetFilePointer(file.Get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER) {
      return Fail(path, "图标内容定位时出错!");
    }
    if (!ReadExactly(file.Get(), image->bits, size)) return Fail(path, "读图标内容出错!");
    if (!BindImagePointers(image)) return Fail(path, "图标内部格式转换出错!");
  }
  return building.Release();
}
