#include <cstring>

#include "buffered_writer.h"
#include "byte_order.h"
#include "file_io.h"
#include "icon_file.h"
#include "limits.h"
#include "replacement_file.h"

namespace {

// The 16-byte directory entry of one record. A PNG image has no header: its
// entry comes from the record alone, as one plane of bitsPerPixel bits.
void BuildDirectoryEntry(const IconImage& image, std::uint32_t offset, BYTE (&entry)[16]) {
  std::uint32_t planes = 1;
  std::uint32_t bitCount = static_cast<std::uint32_t>(image.bitsPerPixel);
  std::uint32_t colourCount = 0;
  if (image.header != nullptr) {
    planes = image.header->biPlanes;
    bitCount = image.header->biBitCount;
    std::uint32_t depth = planes * bitCount;
    colourCount = depth < 8 ? 1u << depth : 0;
  }
  entry[0] = static_cast<BYTE>(image.width);
  entry[1] = static_cast<BYTE>(image.height);
  entry[2] = static_cast<BYTE>(colourCount);
  entry[3] = 0;
  PutU16(entry + 4, planes);
  PutU16(entry + 6, bitCount);
  PutU32(entry + 8, image.byteCount);
  PutU32(entry + 12, offset);
}

// Writes one image block; a DIB image goes out with biSizeImage 0, taken from
// a copy of its header so that the record itself is never changed.
bool WriteImageBlock(BufferedWriter& out, const IconImage& image) {
  if (image.header == nullptr) return out.Write(image.bits, image.byteCount);
  BITMAPINFOHEADER header;
  std::memcpy(&header, image.bits, sizeof header);
  header.biSizeImage = 0;
  return out.Write(&header, sizeof header) &&
         out.Write(image.bits + sizeof header, image.byteCount - sizeof header);
}

// Sum of every block and the directory, or more than 4 GiB when the group
// can't be written as one icon file.
std::uint64_t TotalFileBytes(const IconGroup* group) {
  std::uint64_t total = 6 + std::uint64_t{16} * group->imageCount;
  for (std::uint32_t i = 0; i < group->imageCount; ++i) total += group->images[i].byteCount;
  return total;
}

// A directory entry or an image block that can't be written (a full disk, a
// lost drive) or put in place: the old file stays, and the user is told.
int FailWrite(const char* path) {
  ShowMessageBox(MessageOwner(), "写图标文件出错!", path, MB_OK);
  return 0;
}

}  // namespace

int WriteIconFileHeader(HANDLE file, std::uint32_t count) {
  BYTE field[2];
  for (std::uint32_t value : {0u, 1u, count & 0xFFFFu}) {
    PutU16(field, value);
    if (!WriteExactly(file, field, sizeof field)) return 0;
  }
  return 1;
}

std::uint32_t ImageFileOffset(const IconGroup* group, std::uint32_t n) {
  std::uint32_t offset = 6 + 16 * group->imageCount;
  for (std::uint32_t i = 0; i < n; ++i) offset += group->images[i].byteCount;
  return offset;
}

int SaveIconFile(IconGroup* group, const char* path) {
  ReplacementFile file;
  if (!file.Create(path)) {
    ShowMessageBox(MessageOwner(), "文件建立时出错!", path, MB_OK);
    return 0;
  }
  if (!WriteIconFileHeader(file.Handle(), group->imageCount)) {
    ShowMessageBox(MessageOwner(), "写图标文件头时出错!", path, MB_OK);
    return 0;
  }
  // Offsets are 32-bit: a group whose blocks don't fit is not written.
  if (TotalFileBytes(group) > UINT32_MAX) return FailWrite(path);
  BufferedWriter out(file.Handle());
  std::uint32_t offset = ImageFileOffset(group, 0);
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    BYTE entry[16];
    BuildDirectoryEntry(group->images[i], offset, entry);
    if (!out.Write(entry, sizeof entry)) return FailWrite(path);
    offset += group->images[i].byteCount;
  }
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    if (!WriteImageBlock(out, group->images[i])) return FailWrite(path);
  }
  if (!out.Flush() || !file.Commit()) return FailWrite(path);
  return 1;
}
