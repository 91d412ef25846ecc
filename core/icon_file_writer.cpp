#include <cstring>
#include <new>
#include <unordered_set>

#include "buffered_writer.h"
#include "directory_file.h"
#include "file_io.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "icon_file.h"
#include "messages.h"
#include "replacement_file.h"

namespace {

// What a failed write of each kind of file says.
struct WriteMessages {
  Message write;   // a directory entry or an image block not written
  Message header;  // not a byte of the file written
  Message commit;  // the file not put in place
};

WriteMessages MessagesFor(std::uint16_t type) {
  if (type == icon_directory::kCursorType) {
    return {Message::kCursorWriteFailed, Message::kCursorWriteFailed, Message::kIconCreateFailed};
  }
  return {Message::kIconWriteFailed, Message::kIconHeaderWriteFailed, Message::kIconWriteFailed};
}

// Writes one image block. An icon's DIB image goes out with biSizeImage 0,
// taken from a copy of its header so that the record itself is never
// changed; a cursor's as it is stored.
bool WriteImageBlock(BufferedWriter& out, const IconImage& image, std::uint16_t type) {
  if (image.header == nullptr || type == icon_directory::kCursorType) return out.Write(image.bits, image.byteCount);
  BITMAPINFOHEADER header;
  std::memcpy(&header, image.bits, sizeof header);
  header.biSizeImage = 0;
  return out.Write(&header, sizeof header) &&
         out.Write(image.bits + sizeof header, image.byteCount - sizeof header);
}

// What the images take of the file they came from: their distinct blocks,
// each once, and an entry each.
std::uint64_t HeldBytes(const IconImage* images, std::uint32_t count) {
  std::uint64_t held = std::uint64_t{count} * icon_directory::kFileEntryBytes;
  try {
    std::unordered_set<const BYTE*> distinct;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (distinct.insert(images[i].bits).second) held += images[i].byteCount;
    }
  } catch (const std::bad_alloc&) {
    // The least budget, which a file of many shared blocks won't pass.
    return std::uint64_t{count} * icon_directory::kFileEntryBytes;
  }
  return held;
}

bool Fail(Message message, const char* path) {
  ShowMessage(message, path);
  return false;
}

// The file goes out in one transfer: when not a byte of it reached the
// file, its header was not written either.
bool FailTransfer(const WriteMessages& messages, const char* path, HANDLE file) {
  std::uint64_t length = 0;
  if (FileLength(file, &length) && length == 0) return Fail(messages.header, path);
  return Fail(messages.write, path);
}

}  // namespace

icon_directory::Entry ImageDirectoryEntry(const IconImage& image, std::uint16_t type, std::uint32_t offset) {
  icon_directory::Entry entry{};
  icon_directory::SetSideBytes(&entry, image.width, image.height);
  entry.bytes = image.byteCount;
  entry.fileOffset = offset;
  if (type == icon_directory::kCursorType) {
    entry.colorCount = icon_directory::ColorCountByte(static_cast<std::uint32_t>(image.bitsPerPixel));
    return icon_directory::CursorFileEntry(entry, image.hotSpot);
  }
  entry.planes = image.entryGiven ? image.entryPlanes : 1;
  entry.bitCount = image.entryGiven ? image.entryBitCount : static_cast<std::uint16_t>(image.bitsPerPixel);
  if (image.header != nullptr) {
    entry.planes = image.header->biPlanes;
    entry.bitCount = image.header->biBitCount;
    std::uint32_t depth = std::uint32_t{entry.planes} * entry.bitCount;
    entry.colorCount = icon_directory::ColorCountByte(depth);
  }
  return entry;
}

std::uint64_t DirectoryFileBytes(const IconImage* images, std::uint32_t count) {
  std::uint64_t total = icon_directory::FirstBlockOffset(count);
  for (std::uint32_t i = 0; i < count; ++i) total += images[i].byteCount;
  return total;
}

bool WriteDirectoryFile(const IconImage* images, std::uint32_t count, std::uint16_t type, const char* path,
                        FileHandle* made) {
  const WriteMessages messages = MessagesFor(type);
  // Every entry is written with its image, also one its block shares with
  // others: a file of a few bytes could otherwise fill the disk.
  const std::uint64_t total = DirectoryFileBytes(images, count);
  if (count > icon_directory::kMaxEntries) return Fail(Message::kTooManyImages, path);
  if (total > limits::OutputBudget(HeldBytes(images, count))) return Fail(Message::kOverOutputBudget, path);
  // Offsets are 32-bit: images whose blocks don't fit are not written.
  if (total > UINT32_MAX) return Fail(messages.write, path);
  ReplacementFile file;
  if (!file.Create(path, made)) return Fail(Message::kIconCreateFailed, path);
  BufferedWriter out(file.Handle(), BufferedWriter::WholeFileCapacity(total));
  std::uint8_t header[icon_directory::kHeaderBytes];
  icon_directory::WriteHeader(header, type, static_cast<std::uint16_t>(count));
  if (!out.Write(header, sizeof header)) return FailTransfer(messages, path, file.Handle());
  auto offset = static_cast<std::uint32_t>(icon_directory::FirstBlockOffset(count));
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t entry[icon_directory::kFileEntryBytes];
    icon_directory::WriteFileEntry(entry, ImageDirectoryEntry(images[i], type, offset));
    if (!out.Write(entry, sizeof entry)) return FailTransfer(messages, path, file.Handle());
    offset += images[i].byteCount;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!WriteImageBlock(out, images[i], type)) return FailTransfer(messages, path, file.Handle());
  }
  if (!out.Flush()) return FailTransfer(messages, path, file.Handle());
  if (!file.Commit()) return Fail(messages.commit, path);
  return true;
}

std::uint64_t IconFileBytes(const IconGroup* group) { return DirectoryFileBytes(group->images, group->imageCount); }

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
  return WriteDirectoryFile(group->images, group->imageCount, icon_directory::kIconType, path, made) ? 1 : 0;
}
