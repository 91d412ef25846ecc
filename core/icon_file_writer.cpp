#include <cstring>

#include "buffered_writer.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "file_io.h"
#include "icon_file.h"
#include "replacement_file.h"
#include "messages.h"

namespace {

// The directory entry of one record. A PNG image has no header: its entry
// gives the planes and bit count its source's entry gave, else one plane of
// bitsPerPixel bits.
icon_directory::Entry DirectoryEntry(const IconImage& image, std::uint32_t offset) {
  icon_directory::Entry entry{};
  icon_directory::SetSideBytes(&entry, image.width, image.height);
  entry.planes = image.entryGiven ? image.entryPlanes : 1;
  entry.bitCount = image.entryGiven ? image.entryBitCount : static_cast<std::uint16_t>(image.bitsPerPixel);
  if (image.header != nullptr) {
    entry.planes = image.header->biPlanes;
    entry.bitCount = image.header->biBitCount;
    std::uint32_t depth = std::uint32_t{entry.planes} * entry.bitCount;
    entry.colorCount = icon_directory::ColorCountByte(depth);
  }
  entry.bytes = image.byteCount;
  entry.fileOffset = offset;
  return entry;
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

// A directory entry or an image block that can't be written (a full disk, a
// lost drive) or put in place: the old file stays, and the user is told.
int FailWrite(const char* path) {
  ShowMessage(Message::kIconWriteFailed, path);
  return 0;
}

// The file goes out in one transfer: when not a byte of it reached the
// file, its header was not written either.
int FailTransfer(const char* path, HANDLE file) {
  std::uint64_t length = 0;
  if (FileLength(file, &length) && length == 0) {
    ShowMessage(Message::kIconHeaderWriteFailed, path);
    return 0;
  }
  return FailWrite(path);
}

}  // namespace

std::uint64_t IconFileBytes(const IconGroup* group) {
  std::uint64_t total = icon_directory::FirstBlockOffset(group->imageCount);
  for (std::uint32_t i = 0; i < group->imageCount; ++i) total += group->images[i].byteCount;
  return total;
}

int WriteIconFileHeader(HANDLE file, std::uint32_t count) {
  std::uint8_t header[icon_directory::kHeaderBytes];
  icon_directory::WriteHeader(header, icon_directory::kIconType, static_cast<std::uint16_t>(count));
  return WriteExactly(file, header, sizeof header) ? 1 : 0;
}

std::uint32_t ImageFileOffset(const IconGroup* group, std::uint32_t n) {
  auto offset = static_cast<std::uint32_t>(icon_directory::FirstBlockOffset(group->imageCount));
  for (std::uint32_t i = 0; i < n; ++i) offset += group->images[i].byteCount;
  return offset;
}

int SaveIconFile(const IconGroup* group, const char* path, FileHandle* made) {
  // Every entry is written with its image, also one its block shares with
  // others: a file of a few bytes could otherwise fill the disk.
  const std::uint64_t total = IconFileBytes(group);
  if (total > limits::OutputBudget(GroupHeldBytes(group))) {
    ShowMessage(Message::kOverOutputBudget, path);
    return 0;
  }
  ReplacementFile file;
  if (!file.Create(path, made)) {
    ShowMessage(Message::kIconCreateFailed, path);
    return 0;
  }
  // Offsets are 32-bit: a group whose blocks don't fit is not written.
  if (total > UINT32_MAX) return FailWrite(path);
  BufferedWriter out(file.Handle(), BufferedWriter::WholeFileCapacity(total));
  std::uint8_t header[icon_directory::kHeaderBytes];
  icon_directory::WriteHeader(header, icon_directory::kIconType, static_cast<std::uint16_t>(group->imageCount));
  if (!out.Write(header, sizeof header)) return FailTransfer(path, file.Handle());
  std::uint32_t offset = ImageFileOffset(group, 0);
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    std::uint8_t entry[icon_directory::kFileEntryBytes];
    icon_directory::WriteFileEntry(entry, DirectoryEntry(group->images[i], offset));
    if (!out.Write(entry, sizeof entry)) return FailTransfer(path, file.Handle());
    offset += group->images[i].byteCount;
  }
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    if (!WriteImageBlock(out, group->images[i])) return FailTransfer(path, file.Handle());
  }
  if (!out.Flush()) return FailTransfer(path, file.Handle());
  if (!file.Commit()) return FailWrite(path);
  return 1;
}
