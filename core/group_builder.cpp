#include "group_builder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/input_limits.h"

bool GroupBuilder::Start(std::size_t records, bool cursor) {
  room_ = records ? records : 1;
  group_.reset(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(room_))));
  if (!group_) return false;
  group_->cursor = cursor;
  return true;
}

GroupBuildFailure GroupBuilder::Add(ByteView bytes, const EntryFields& fields) {
  if (!group_ || group_->imageCount >= room_) return GroupBuildFailure::kOutOfMemory;
  IconImage* image = GroupImage(group_.get(), group_->imageCount);
  const auto key = std::make_pair(bytes.Data(), bytes.Length());
  const auto known = copies_.find(key);
  if (known != copies_.end()) {
    image->bits = known->second;
    image->sharesBits = true;
    ++group_->imageCount;
  } else {
    held_ += bytes.Length();
    if (bytes.Length() > limits::kMaxBlockBytes || held_ > limits::kMaxGroupBytes) {
      return GroupBuildFailure::kPastLimits;
    }
    if (budget_ != 0 && held_ > budget_) return GroupBuildFailure::kOverBudget;
    if (borrow_ && reinterpret_cast<std::uintptr_t>(bytes.Data()) % alignof(BITMAPINFOHEADER) == 0) {
      // Freed by no record: the bytes are the caller's.
      image->bits = const_cast<BYTE*>(bytes.Data());
      image->sharesBits = true;
      ++group_->imageCount;
    } else {
      image->bits = static_cast<BYTE*>(std::malloc(bytes.Length() ? bytes.Length() : 1));
      if (image->bits == nullptr) return GroupBuildFailure::kOutOfMemory;
      ++group_->imageCount;  // the block is now the group's to free
      if (bytes.Length() != 0) std::memcpy(image->bits, bytes.Data(), bytes.Length());
    }
    try {
      copies_.emplace(key, image->bits);
    } catch (const std::bad_alloc&) {
      return GroupBuildFailure::kOutOfMemory;
    }
  }
  image->byteCount = static_cast<std::uint32_t>(bytes.Length());
  image->hotSpot = fields.hotSpot;
  image->fileOffset = fields.fileOffset;
  image->frame = fields.frame;
  if (!BindImagePointers(image)) return GroupBuildFailure::kNotAnImage;
  // A cursor's entry holds its hot spot where an icon's has planes and bit
  // count: a PNG cursor image is described by its own depth.
  if (group_->cursor) {
    TakeEntryDepth(image, 1, static_cast<std::uint16_t>(image->bitsPerPixel));
  } else {
    TakeEntryDepth(image, fields.planes, fields.bitCount);
  }
  return GroupBuildFailure::kNone;
}
