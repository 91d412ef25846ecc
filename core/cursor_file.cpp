#include "cursor_file.h"

#include <cstdint>

#include "buffered_writer.h"
#include "formats/icon_directory.h"
#include "messages.h"
#include "replacement_file.h"

namespace {

icon_directory::Entry DirectoryEntry(const CursorImage& image, std::uint32_t offset) {
  icon_directory::Entry entry{};
  icon_directory::SetSideBytes(&entry, image.width, image.height);
  entry.colorCount = icon_directory::ColorCountByte(static_cast<std::uint32_t>(image.bitsPerPixel));
  entry.bytes = static_cast<std::uint32_t>(image.bits.Length());
  entry.fileOffset = offset;
  return icon_directory::CursorFileEntry(entry, image.hotSpot);
}

}  // namespace

bool SaveCursorFile(const std::vector<CursorImage>& images, const char* path) {
  // Offsets are 32-bit, and the count 16-bit.
  std::uint64_t total = icon_directory::FirstBlockOffset(images.size());
  for (const CursorImage& image : images) total += image.bits.Length();
  if (images.size() > icon_directory::kMaxEntries || total > UINT32_MAX) {
    ShowMessage(Message::kCursorWriteFailed, path);
    return false;
  }
  ReplacementFile file;
  if (!file.Create(path)) {
    ShowMessage(Message::kIconCreateFailed, path);
    return false;
  }
  BufferedWriter out(file.Handle());
  std::uint8_t header[icon_directory::kHeaderBytes];
  icon_directory::WriteHeader(header, icon_directory::kCursorType, static_cast<std::uint16_t>(images.size()));
  bool written = out.Write(header, sizeof header);
  auto offset = static_cast<std::uint32_t>(icon_directory::FirstBlockOffset(images.size()));
  for (const CursorImage& image : images) {
    std::uint8_t entry[icon_directory::kFileEntryBytes];
    icon_directory::WriteFileEntry(entry, DirectoryEntry(image, offset));
    written = written && out.Write(entry, sizeof entry);
    offset += static_cast<std::uint32_t>(image.bits.Length());
  }
  for (const CursorImage& image : images) written = written && out.Write(image.bits.Data(), image.bits.Length());
  if (!written || !out.Flush()) {
    ShowMessage(Message::kCursorWriteFailed, path);
    return false;
  }
  if (!file.Commit()) {
    ShowMessage(Message::kIconCreateFailed, path);
    return false;
  }
  return true;
}
