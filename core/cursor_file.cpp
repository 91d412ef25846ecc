#include "cursor_file.h"

#include <cstdint>
#include <utility>

#include "directory_file.h"
#include "formats/animated_cursor.h"
#include "formats/file_kind.h"
#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "group_builder.h"
#include "messages.h"

namespace {

using CursorFileResult = ReadResult<IconGroupPtr, CursorFileFailure>;

Message MessageOf(CursorFileFailure failure) {
  switch (failure) {
    case CursorFileFailure::kOpenFailed:
      return Message::kCursorFileOpenFailed;
    case CursorFileFailure::kFileOutOfMemory:
      return Message::kModuleOutOfMemory;
    case CursorFileFailure::kAnimationDamaged:
      return Message::kAnimatedCursorDamaged;
    case CursorFileFailure::kOverBudget:
      return Message::kOverMemoryBudget;
    default:
      return Message::kCursorFileReadFailed;
  }
}

CursorFileFailure FailureOf(GroupBuildFailure failure) {
  switch (failure) {
    case GroupBuildFailure::kOverBudget: return CursorFileFailure::kOverBudget;
    case GroupBuildFailure::kNotAnImage: return CursorFileFailure::kImageInvalid;
    default: return CursorFileFailure::kFileOutOfMemory;
  }
}

// The directory of the icon or cursor file `file` (of a file `fileLength`
// long): its count, or its first image alone; false when it is none. A
// header of either type is a cursor's, as Windows loads a .CUR.
bool ReadDirectoryHeader(ByteView file, std::uint64_t fileLength, bool firstOnly, icon_directory::Header* header,
                         CursorFileFailure* failure) {
  ByteCursor cursor(file);
  if (!icon_directory::ReadHeader(cursor, header) || header->reserved != 0 ||
      (header->type != icon_directory::kCursorType && header->type != icon_directory::kIconType) ||
      (firstOnly && header->count == 0)) {
    *failure = CursorFileFailure::kNotACursor;
    return false;
  }
  return Reaches(file, fileLength, 0, icon_directory::FirstBlockOffset(header->count),
                 CursorFileFailure::kDirectoryCut, failure);
}

// Adds `count` images of the icon or cursor file `file` (of a file
// `fileLength` long, whose header is `header`) to the group; `frame`: an
// animated cursor's, the frame they belong to.
bool AddImages(ByteView file, std::uint64_t fileLength, const icon_directory::Header& header, std::uint16_t count,
               const std::uint32_t* frame, GroupBuilder* builder, CursorFileFailure* failure) {
  ByteCursor entries(file.Sub(icon_directory::kHeaderBytes, file.Length() - icon_directory::kHeaderBytes));
  for (std::uint16_t i = 0; i < count; ++i) {
    icon_directory::Entry entry;
    icon_directory::ReadFileEntry(entries, &entry);
    if (!Reaches(file, fileLength, entry.fileOffset, entry.bytes, CursorFileFailure::kImageCut, failure)) {
      return false;
    }
    // A .CUR entry holds the hot spot where an .ICO entry has planes and bit
    // count; Windows takes it there from a cursor file of either type. An
    // animated cursor's icon frame has its hot spot at 0,0.
    GroupBuilder::EntryFields fields;
    if (header.type == icon_directory::kCursorType || frame == nullptr) {
      fields.hotSpot = {entry.planes, entry.bitCount};
    }
    if (frame != nullptr) fields.frame = *frame;
    if (frame == nullptr) fields.fileOffset = entry.fileOffset;
    const GroupBuildFailure added = builder->Add(file.Sub(entry.fileOffset, entry.bytes), fields);
    if (added != GroupBuildFailure::kNone) {
      *failure = FailureOf(added);
      return false;
    }
  }
  return true;
}

CursorFileResult ReadCursor(ByteView bytes, std::uint64_t fileLength) {
  icon_directory::Header header;
  CursorFileFailure failure = CursorFileFailure::kNotACursor;
  if (!ReadDirectoryHeader(bytes, fileLength, false, &header, &failure)) return failure;
  // Distinct images together take no more than the file holds.
  GroupBuilder builder(fileLength);
  if (!builder.Start(header.count, true)) return CursorFileFailure::kFileOutOfMemory;
  if (!AddImages(bytes, fileLength, header, header.count, nullptr, &builder, &failure)) return failure;
  return CursorFileResult(builder.Take());
}

// A frame that doesn't read is the animation's damage, named by its chunk,
// unless memory or the budget ran out.
CursorFileFailure FrameFailure(CursorFileFailure failure, const animated_cursor::Animation& animation,
                               std::size_t frame, animated_cursor::Fault* fault) {
  if (failure == CursorFileFailure::kFileOutOfMemory || failure == CursorFileFailure::kOverBudget) return failure;
  if (fault != nullptr) *fault = animated_cursor::Fault{"icon", animation.frameOffsets[frame], false};
  return CursorFileFailure::kAnimationDamaged;
}

// The frames' directories, each of one image at least; their images
// together (each directory lies inside its frame: the sum is bounded by the
// file's size). False with the frame that is none.
bool CountFrameImages(const animated_cursor::Animation& animation, std::uint64_t* images, std::size_t* bad,
                      CursorFileFailure* failure) {
  *images = 0;
  for (std::size_t i = 0; i < animation.frames.size(); ++i) {
    icon_directory::Header header;
    *bad = i;
    if (!ReadDirectoryHeader(animation.frames[i], animation.frames[i].Length(), true, &header, failure)) {
      return false;
    }
    *images += header.count;
  }
  return true;
}

// Each frame is an icon or cursor file of its own, every image of which is
// taken, frame after frame.
CursorFileResult ReadAnimatedCursor(ByteView bytes, std::uint64_t fileLength, animated_cursor::Fault* fault) {
  // Its chunks are bounded by the whole file.
  if (bytes.Length() < fileLength) return CursorFileFailure::kTooLarge;
  animated_cursor::Animation animation;
  animated_cursor::Failure damage;
  if (!animated_cursor::Read(bytes, &animation, &damage, fault)) {
    return damage == animated_cursor::Failure::kOutOfMemory ? CursorFileFailure::kFileOutOfMemory
                                                            : CursorFileFailure::kAnimationDamaged;
  }
  std::uint64_t images = 0;
  std::size_t bad = 0;
  CursorFileFailure failure = CursorFileFailure::kAnimationDamaged;
  if (!CountFrameImages(animation, &images, &bad, &failure)) return FrameFailure(failure, animation, bad, fault);
  GroupBuilder builder(fileLength);
  if (!builder.Start(images, true)) return CursorFileFailure::kFileOutOfMemory;
  for (std::uint32_t i = 0; i < animation.frames.size(); ++i) {
    const ByteView frame = animation.frames[i];
    icon_directory::Header header;
    if (!ReadDirectoryHeader(frame, frame.Length(), true, &header, &failure) ||
        !AddImages(frame, frame.Length(), header, header.count, &i, &builder, &failure)) {
      return FrameFailure(failure, animation, i, fault);
    }
  }
  IconGroupPtr group = builder.Take();
  group->animated = true;
  return CursorFileResult(std::move(group));
}

}  // namespace

CursorFileResult ReadCursorFile(ByteView bytes, std::uint64_t fileLength, animated_cursor::Fault* fault) {
  if (file_kind::KindOf(bytes) == file_kind::Kind::kAnimatedCursor) {
    return ReadAnimatedCursor(bytes, fileLength, fault);
  }
  return ReadCursor(bytes, fileLength);
}

IconGroupPtr LoadCursorFile(const char* path, animated_cursor::Fault* fault) {
  const FileReadFailures<CursorFileFailure> failures{CursorFileFailure::kOpenFailed, CursorFileFailure::kReadFailed,
                                                     CursorFileFailure::kFileOutOfMemory};
  const CursorFileFailure told = CursorFileFailure::kAnimationDamaged;
  const auto read = [fault](ByteView bytes, std::uint64_t fileLength) {
    return ReadCursorFile(bytes, fileLength, fault);
  };
  CursorFileFailure reason = told;
  return ReadFileThrough(path, limits::kMaxIconFileBytes, failures, MessageOf, read, &reason,
                         fault != nullptr ? &told : nullptr);
}

bool SaveCursorFile(const IconImage* images, std::uint32_t count, const char* path, FileHandle* made) {
  return WriteDirectoryFile(images, count, icon_directory::kCursorType, path, made);
}
