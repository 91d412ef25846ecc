#include "module_groups.h"

#include <utility>

#include "formats/icon_directory.h"
#include "group_builder.h"

namespace {

// The types a group of either kind is stored under, and what it says when it
// can't be read.
struct GroupKind {
  LPCSTR groupType;
  LPCSTR imageType;
  std::optional<Message> missing;  // a group or image the module lacks
  Message damaged;                 // a group or image that is no icon image
};

GroupKind KindOf(bool cursor) {
  if (cursor) return {RT_GROUP_CURSOR, RT_CURSOR, Message::kCursorUnreadable, Message::kCursorUnreadable};
  return {RT_GROUP_ICON, RT_ICON, std::nullopt, Message::kModuleNotAnIconImage};
}

GroupRead Failed(std::optional<Message> message) { return GroupRead{nullptr, message}; }

// The count of a group resource whose bytes hold every entry it counts;
// false for a shorter block.
bool ReadGroupCount(ByteView group, std::uint16_t* count) {
  ByteCursor cursor(group);
  icon_directory::Header header;
  if (!icon_directory::GroupHoldsEntries(group) || !icon_directory::ReadHeader(cursor, &header)) return false;
  *count = header.count;
  return true;
}

// The resource of image `id`: in the group's language first, then as the
// group of no language asked for finds it.
ModuleResources::Lookup FindImage(const ModuleResources& module, LPCSTR type, std::uint16_t id, WORD language,
                                  ByteView* bytes) {
  LPCSTR name = MAKEINTRESOURCEA(id);
  ModuleResources::Lookup found = module.FindInLanguage(name, type, language, bytes);
  if (found == ModuleResources::Lookup::kMissing && language != 0) {
    found = module.FindInLanguage(name, type, 0, bytes);
  }
  return found;
}

}  // namespace

GroupRead ReadModuleGroup(const ModuleResources& module, const char* path, ResourceName name, bool cursor,
                          GroupReading* reading) {
  if (name == 0) return {};
  const GroupKind kind = KindOf(cursor);
  ByteView groupBytes;
  const ModuleResources::Lookup groupFound =
      module.FindInLanguage(ResourceNameArgument(name), kind.groupType, reading->language, &groupBytes);
  if (groupFound != ModuleResources::Lookup::kFound) {
    if (groupFound == ModuleResources::Lookup::kUnreadable) reading->failure = GroupReadFailure::kUnreadable;
    return Failed(kind.missing);
  }
  std::uint16_t count = 0;
  if (!ReadGroupCount(groupBytes, &count)) return Failed(kind.damaged);

  // Distinct resources are distinct bytes of the module; their copies
  // together are bounded like the images of an icon file.
  GroupBuilder builder(0, reading->borrow);
  if (!builder.Start(count, cursor)) return Failed(Message::kModuleOutOfMemory);
  for (std::uint32_t i = 0; i < count; ++i) {
    // Every entry the count names is inside the bytes: checked above.
    icon_directory::Entry entry{};
    icon_directory::GroupEntryAt(groupBytes, i, &entry);
    ByteView resource;
    const ModuleResources::Lookup found = FindImage(module, kind.imageType, entry.resourceId, reading->language,
                                                    &resource);
    if (found == ModuleResources::Lookup::kUnreadable) {
      reading->failure = GroupReadFailure::kUnreadable;
      return Failed(kind.missing);
    }
    if (found == ModuleResources::Lookup::kMissing) {
      if (reading->missing == nullptr || cursor) return Failed(kind.missing);
      reading->missing->push_back(entry.resourceId);
      continue;
    }
    // A 16-bit resource is padded to its alignment: the entry says how much
    // of it is the image (and a cursor's hot spot).
    ByteView image = module.EntryImage(resource, entry.bytes);
    GroupBuilder::EntryFields fields{entry.planes, entry.bitCount, {}};
    if (cursor && !icon_directory::SplitCursorResource(image, &fields.hotSpot, &image)) return Failed(kind.damaged);
    if (!module.FileOffset(image.Data(), &fields.fileOffset)) fields.fileOffset = 0;
    const GroupBuildFailure added = builder.Add(image, fields);
    if (added == GroupBuildFailure::kNotAnImage) return Failed(kind.damaged);
    if (added != GroupBuildFailure::kNone) return Failed(Message::kModuleOutOfMemory);
  }
  IconGroupPtr group = builder.Take();
  SetGroupPath(group->modulePath, path);
  return GroupRead{std::move(group), std::nullopt};
}
