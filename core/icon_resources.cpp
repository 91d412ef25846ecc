#include "icon_resources.h"

#include <algorithm>
#include <set>

#include "directory_file.h"
#include "formats/icon_directory.h"

namespace {

constexpr std::uint16_t kIconType = 3;        // RT_ICON
constexpr std::uint16_t kGroupIconType = 14;  // RT_GROUP_ICON

bool IsType(const PeResourceItem& item, std::uint16_t type) { return item.type.isId && item.type.id == type; }

// The name an entry shows as a query: "#N" and a decimal number are
// identifiers, anything else a text.
bool ParseGroupName(const std::string& text, PeResourceQuery* name) {
  const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (!digits.empty() && digits.size() <= 5 && digits.find_first_not_of("0123456789") == std::string::npos) {
    const unsigned long id = std::stoul(digits);
    if (id == 0 || id > 0xFFFF) return false;
    *name = PeResourceQuery::Id(static_cast<std::uint16_t>(id));
    return true;
  }
  *name = PeResourceQuery::Text(Utf8ToUtf16(text));
  return !text.empty() && text[0] != '#';
}

// The group the target names, the first of its languages in the
// directory's order; -1 when there is none.
long FindGroup(const std::vector<PeResourceItem>& items, const GroupTarget& target) {
  PeResourceQuery wanted;
  if (target.kind == GroupTarget::Kind::kEntry && !ParseGroupName(target.name, &wanted)) return -1;
  if (target.kind == GroupTarget::Kind::kIndex && target.index < 0) {
    wanted = PeResourceQuery::Id(static_cast<std::uint16_t>(-target.index));
  }
  const bool byPlace =
      target.kind == GroupTarget::Kind::kFirst || (target.kind == GroupTarget::Kind::kIndex && target.index >= 0);
  std::int32_t place = -1;
  const PeResourceQuery* previous = nullptr;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!IsType(items[i], kGroupIconType)) continue;
    if (previous == nullptr || CompareResourceNames(*previous, items[i].name) != 0) ++place;
    previous = &items[i].name;
    const bool found = byPlace ? place == target.index : CompareResourceNames(items[i].name, wanted) == 0;
    if (found) return static_cast<long>(i);
  }
  return -1;
}

// The icon identifiers a group names; none for a group too short for its count.
std::vector<std::uint16_t> NamedImages(ByteView group) {
  std::vector<std::uint16_t> ids;
  icon_directory::Entry entry;
  for (std::size_t i = 0; icon_directory::GroupHoldsEntries(group) && icon_directory::GroupEntryAt(group, i, &entry);
       ++i) {
    ids.push_back(entry.resourceId);
  }
  return ids;
}

// Removes the icon images of `dropped` that no group names any more.
void DropUnnamedImages(std::vector<PeResourceItem>* items, const std::vector<std::uint16_t>& dropped) {
  std::set<std::uint16_t> named;
  for (const PeResourceItem& item : *items) {
    if (!IsType(item, kGroupIconType)) continue;
    for (std::uint16_t id : NamedImages(item.data)) named.insert(id);
  }
  std::set<std::uint16_t> unnamed;
  for (std::uint16_t id : dropped) {
    if (named.count(id) == 0) unnamed.insert(id);
  }
  items->erase(std::remove_if(items->begin(), items->end(),
                              [&](const PeResourceItem& item) {
                                return IsType(item, kIconType) && item.name.isId && unnamed.count(item.name.id) != 0;
                              }),
               items->end());
}

// The `count` smallest icon identifiers no icon resource has and no group names.
bool FreeIds(const std::vector<PeResourceItem>& items, std::uint32_t count, std::vector<std::uint16_t>* ids) {
  std::set<std::uint16_t> taken;
  for (const PeResourceItem& item : items) {
    if (IsType(item, kIconType) && item.name.isId) taken.insert(item.name.id);
    if (!IsType(item, kGroupIconType)) continue;
    for (std::uint16_t id : NamedImages(item.data)) taken.insert(id);
  }
  for (std::uint32_t id = 1; id <= 0xFFFF && ids->size() < count; ++id) {
    if (taken.count(static_cast<std::uint16_t>(id)) == 0) ids->push_back(static_cast<std::uint16_t>(id));
  }
  return ids->size() == count;
}

void WriteGroup(const IconGroup& icon, const std::vector<std::uint16_t>& ids, std::vector<std::uint8_t>* bytes) {
  bytes->assign(icon_directory::kHeaderBytes + icon_directory::kGroupEntryBytes * icon.imageCount, 0);
  std::uint8_t header[icon_directory::kHeaderBytes];
  icon_directory::WriteHeader(header, icon_directory::kIconType, static_cast<std::uint16_t>(icon.imageCount));
  std::copy(header, header + sizeof header, bytes->begin());
  for (std::uint32_t i = 0; i < icon.imageCount; ++i) {
    icon_directory::Entry entry = ImageDirectoryEntry(icon.images[i], icon_directory::kIconType, 0);
    entry.resourceId = ids[i];
    std::uint8_t stored[icon_directory::kGroupEntryBytes];
    icon_directory::WriteGroupEntry(stored, entry);
    std::copy(stored, stored + sizeof stored,
              bytes->begin() + static_cast<long>(icon_directory::kHeaderBytes + sizeof stored * i));
  }
}

}  // namespace

IconEditFailure PutIconGroup(std::vector<PeResourceItem>* items, const IconGroup& icon, const GroupTarget& target,
                             std::vector<std::uint8_t>* groupBytes) {
  PeResourceItem group;
  group.type = PeResourceQuery::Id(kGroupIconType);
  if (target.kind == GroupTarget::Kind::kAdd) {
    if (!ParseGroupName(target.name, &group.name)) return IconEditFailure::kNoSuchGroup;
    GroupTarget existing{GroupTarget::Kind::kEntry, target.name, 0};
    if (FindGroup(*items, existing) >= 0) return IconEditFailure::kGroupExists;
  } else {
    const long found = FindGroup(*items, target);
    if (found < 0) {
      const bool any = std::any_of(items->begin(), items->end(),
                                   [](const PeResourceItem& item) { return IsType(item, kGroupIconType); });
      return any ? IconEditFailure::kNoSuchGroup : IconEditFailure::kNoGroups;
    }
    group = (*items)[static_cast<std::size_t>(found)];
    items->erase(items->begin() + found);
    DropUnnamedImages(items, NamedImages(group.data));
  }
  std::vector<std::uint16_t> ids;
  if (!FreeIds(*items, icon.imageCount, &ids)) return IconEditFailure::kNoFreeIds;
  WriteGroup(icon, ids, groupBytes);
  group.data = ByteView(groupBytes->data(), groupBytes->size());
  items->push_back(group);
  for (std::uint32_t i = 0; i < icon.imageCount; ++i) {
    PeResourceItem image;
    image.type = PeResourceQuery::Id(kIconType);
    image.name = PeResourceQuery::Id(ids[i]);
    image.language = group.language;
    image.data = ByteView(icon.images[i].bits, icon.images[i].byteCount);
    items->push_back(image);
  }
  return IconEditFailure::kNone;
}
