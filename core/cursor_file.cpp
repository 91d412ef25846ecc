#include "cursor_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <utility>

#include "buffered_writer.h"
#include "formats/animated_cursor.h"
#include "formats/file_kind.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "icon_group.h"
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

Message MessageOf(CursorFileFailure failure) {
  switch (failure) {
    case CursorFileFailure::kOpenFailed:
      return Message::kCursorFileOpenFailed;
    case CursorFileFailure::kFileOutOfMemory:
      return Message::kModuleOutOfMemory;
    case CursorFileFailure::kAnimationDamaged:
      return Message::kAnimatedCursorDamaged;
    default:
      return Message::kCursorFileReadFailed;
  }
}

// Reads the images of the icon or cursor file `file` (bytes that stay, of a
// file `fileLength` long): all of them, or its first (an animated cursor's
// frame, whose hot spot is 0,0 when it is an icon). False with the failure.
bool ReadImages(ByteView file, std::uint64_t fileLength, bool firstOnly, std::vector<CursorImage>* images,
                CursorFileFailure* failure) {
  ByteCursor cursor(file);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header) || header.reserved != 0 ||
      (header.type != icon_directory::kCursorType && header.type != icon_directory::kIconType) ||
      (firstOnly && header.count == 0)) {
    *failure = CursorFileFailure::kNotACursor;
    return false;
  }
  if (!Reaches(file, fileLength, 0, icon_directory::FirstBlockOffset(header.count), CursorFileFailure::kDirectoryCut,
               failure)) {
    return false;
  }
  const std::uint16_t count = firstOnly ? 1 : header.count;
  for (std::uint16_t i = 0; i < count; ++i) {
    icon_directory::Entry entry;
    icon_directory::ReadFileEntry(cursor, &entry);
    if (!Reaches(file, fileLength, entry.fileOffset, entry.bytes, CursorFileFailure::kImageCut, failure)) {
      return false;
    }
    // A .CUR entry holds the hot spot where an .ICO entry has planes and bit
    // count; Windows takes it there from a cursor file of either type.
    CursorImage image{};
    if (header.type == icon_directory::kCursorType || !firstOnly) image.hotSpot = {entry.planes, entry.bitCount};
    image.bits = file.Sub(entry.fileOffset, entry.bytes);
    *failure = CursorFileFailure::kImageInvalid;
    if (!BindCursorImage(&image)) return false;
    *failure = CursorFileFailure::kFileOutOfMemory;
    try {
      images->push_back(image);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool BindCursorImage(CursorImage* cursor) {
  if (cursor->bits.Length() > limits::kMaxBlockBytes) return false;
  // Bound on a copy: a resource's bytes behind the hot spot need not be
  // aligned for the header that starts them.
  HeapPtr<BYTE> copy(static_cast<BYTE*>(std::malloc(cursor->bits.Length() ? cursor->bits.Length() : 1)));
  if (!copy) return false;
  if (cursor->bits.Length() != 0) std::memcpy(copy.get(), cursor->bits.Data(), cursor->bits.Length());
  IconImage image{};
  image.bits = copy.get();
  image.byteCount = static_cast<std::uint32_t>(cursor->bits.Length());
  if (!BindImagePointers(&image)) return false;
  cursor->width = image.width;
  cursor->height = image.height;
  cursor->bitsPerPixel = image.bitsPerPixel;
  return true;
}

ReadResult<std::unique_ptr<CursorFile>, CursorFileFailure> ReadCursorFile(ByteView bytes, std::uint64_t fileLength) {
  const bool animated = file_kind::KindOf(bytes) == file_kind::Kind::kAnimatedCursor;
  if (!animated) {
    ByteCursor cursor(bytes);
    icon_directory::Header header;
    if (!icon_directory::ReadHeader(cursor, &header) || header.reserved != 0 ||
        (header.type != icon_directory::kCursorType && header.type != icon_directory::kIconType)) {
      return CursorFileFailure::kNotACursor;
    }
  } else if (bytes.Length() < fileLength) {
    // Its chunks are bounded by the whole file.
    return CursorFileFailure::kTooLarge;
  }
  std::unique_ptr<CursorFile> file(new (std::nothrow) CursorFile);
  if (!file) return CursorFileFailure::kFileOutOfMemory;
  // The images point into a copy of the bytes, which are the caller's only
  // while it reads.
  file->bytes_.reset(static_cast<std::uint8_t*>(std::malloc(bytes.Length() ? bytes.Length() : 1)));
  if (!file->bytes_) return CursorFileFailure::kFileOutOfMemory;
  if (bytes.Length() != 0) std::memcpy(file->bytes_.get(), bytes.Data(), bytes.Length());
  const ByteView copy(file->bytes_.get(), bytes.Length());
  file->animated_ = animated;
  CursorFileFailure failure = CursorFileFailure::kFileOutOfMemory;
  if (!animated) {
    if (!ReadImages(copy, fileLength, false, &file->images_, &failure)) return failure;
    return file;
  }
  animated_cursor::Animation animation;
  animated_cursor::Failure damage;
  if (!animated_cursor::Read(copy, &animation, &damage)) {
    return damage == animated_cursor::Failure::kOutOfMemory ? CursorFileFailure::kFileOutOfMemory
                                                            : CursorFileFailure::kAnimationDamaged;
  }
  for (const ByteView frame : animation.frames) {
    if (!ReadImages(frame, frame.Length(), true, &file->images_, &failure)) {
      return failure == CursorFileFailure::kFileOutOfMemory ? failure : CursorFileFailure::kAnimationDamaged;
    }
  }
  return file;
}

std::unique_ptr<CursorFile> LoadCursorFile(const char* path) {
  const FileReadFailures<CursorFileFailure> failures{CursorFileFailure::kOpenFailed, CursorFileFailure::kReadFailed,
                                                     CursorFileFailure::kFileOutOfMemory};
  return ReadFileThrough(path, limits::kMaxIconFileBytes, failures, MessageOf, ReadCursorFile);
}

IconGroupPtr CursorImagesAsGroup(const std::vector<CursorImage>& images) {
  IconGroupPtr group(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(images.empty() ? 1 : images.size()))));
  if (!group) return nullptr;
  std::uint64_t groupBytes = 0;
  for (const CursorImage& cursor : images) {
    groupBytes += cursor.bits.Length();
    if (groupBytes > limits::kMaxGroupBytes) return nullptr;
    IconImage* image = GroupImage(group.get(), group->imageCount);
    image->bits = static_cast<BYTE*>(std::malloc(cursor.bits.Length() ? cursor.bits.Length() : 1));
    if (image->bits == nullptr) return nullptr;
    // Counted at once, so that the block is freed with the group.
    ++group->imageCount;
    image->byteCount = static_cast<std::uint32_t>(cursor.bits.Length());
    if (cursor.bits.Length() != 0) std::memcpy(image->bits, cursor.bits.Data(), cursor.bits.Length());
    if (!BindImagePointers(image)) return nullptr;
    TakeEntryDepth(image, 1, static_cast<std::uint16_t>(cursor.bitsPerPixel));
  }
  return group;
}

std::uint64_t CursorFileBytes(const std::vector<CursorImage>& images) {
  std::uint64_t total = icon_directory::FirstBlockOffset(images.size());
  for (const CursorImage& image : images) total += image.bits.Length();
  return total;
}

bool SaveCursorFile(const std::vector<CursorImage>& images, const char* path, FileHandle* made) {
  // Offsets are 32-bit, and the count 16-bit.
  const std::uint64_t total = CursorFileBytes(images);
  if (images.size() > icon_directory::kMaxEntries || total > UINT32_MAX) {
    ShowMessage(Message::kCursorWriteFailed, path);
    return false;
  }
  // Entries that name one cursor resource are each written with it: the
  // file is bounded by the distinct bytes the group holds, as an icon's is.
  std::uint64_t held = 0;
  try {
    std::set<std::pair<const std::uint8_t*, std::size_t>> distinct;
    for (const CursorImage& image : images) {
      held += icon_directory::kFileEntryBytes;
      if (distinct.insert({image.bits.Data(), image.bits.Length()}).second) held += image.bits.Length();
    }
  } catch (const std::bad_alloc&) {
    held = 0;
  }
  if (total > limits::OutputBudget(held)) {
    ShowMessage(Message::kOverOutputBudget, path);
    return false;
  }
  ReplacementFile file;
  if (!file.Create(path, made)) {
    ShowMessage(Message::kIconCreateFailed, path);
    return false;
  }
  BufferedWriter out(file.Handle(), BufferedWriter::WholeFileCapacity(total));
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
