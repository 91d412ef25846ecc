// A program's resources with one group icon replaced, or added, by the
// images of an icon: the group holds exactly those images, under icon
// identifiers no other resource uses, and icon images no group names any
// more go. Every other resource is left as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/pe/resource_list.h"
#include "icon_group.h"

// Which group takes the icon.
struct GroupTarget {
  enum class Kind { kFirst, kEntry, kIndex, kAdd };
  Kind kind = Kind::kFirst;
  // kEntry, kAdd: the group's name as an entry shows it, its identifier in
  // decimal or its text; "#N" is identifier N.
  std::string name;
  // kIndex: from 0 the group's place in the directory, below 0 the group
  // of identifier -index.
  std::int32_t index = 0;
};

enum class IconEditFailure {
  kNone,
  kNoGroups,     // the program has no group icon to replace
  kNoSuchGroup,  // the entry or index names none
  kGroupExists,  // --add of a name a group has
  kNoFreeIds,    // no icon identifiers left for the images
};

// Puts the icon's images in `items` as the group `target` names; the new
// resources' bytes are the icon's blocks and `groupBytes`, which must
// outlive `items`.
IconEditFailure PutIconGroup(std::vector<PeResourceItem>* items, const IconGroup& icon, const GroupTarget& target,
                             std::vector<std::uint8_t>* groupBytes);
