// Builds a group image by image, for every reader of groups: icon and cursor
// files, animated cursors' frames, and modules' group icons and cursors.
// Entries that name the same bytes (the same range of a file, the same
// resource) share one copy of them, and the distinct copies together are
// bounded, so that what a group costs follows what its file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

#include "formats/byte_cursor.h"
#include "formats/icon_directory.h"
#include "icon_group.h"

enum class GroupBuildFailure {
  kNone,
  kOutOfMemory,  // no block for the group, a copy or the table of copies
  kPastLimits,   // a block, or the distinct blocks together, pass the group limits
  kOverBudget,   // the distinct blocks pass the budget the caller gave
  kNotAnImage,   // a block that binds as no icon image
};

class GroupBuilder {
 public:
  // `budget`: what the distinct blocks may take together (the length of the
  // file they come from), 0 for no bound beyond the group limits. With
  // `borrow`, a block aligned for its header is not copied: the record points
  // at the caller's bytes, which must outlive the group.
  explicit GroupBuilder(std::uint64_t budget = 0, bool borrow = false) : budget_(budget), borrow_(borrow) {}

  // Makes the group, with room for `records` images (one at least: code
  // that looks at the first record of the current group finds zeros, not
  // the end of the block). False when memory runs out.
  bool Start(std::size_t records, bool cursor);

  // What a directory entry says of an image beside its bytes.
  struct EntryFields {
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    icon_directory::HotSpot hotSpot{};
    std::uint64_t fileOffset = 0;  // where the bytes lie in their file; 0 when not known
    std::uint32_t frame = 0;  // an animated cursor's frame it belongs to
  };
  // Adds the image whose block is `bytes`, as the next record, bound. A
  // block the same view gave before is shared.
  GroupBuildFailure Add(ByteView bytes, const EntryFields& fields);

  std::uint32_t Count() const { return group_ ? group_->imageCount : 0; }
  IconGroupPtr Take() { return std::move(group_); }

 private:
  IconGroupPtr group_;
  std::size_t room_ = 0;
  std::uint64_t budget_;
  bool borrow_;
  std::uint64_t held_ = 0;
  std::map<std::pair<const std::uint8_t*, std::size_t>, BYTE*> copies_;
};
