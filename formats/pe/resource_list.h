// Every resource of a PE module held whole, as a list: the form a program
// writer rebuilds a resource directory from. Unlike a lookup, which goes
// down one path and gives up quietly, the list reads every table, so it
// tells a damaged tree by why it is damaged.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/byte_cursor.h"
#include "pe_image.h"
#include "resource_names.h"

struct PeResourceItem {
  PeResourceQuery type;
  PeResourceQuery name;
  std::uint16_t language = 0;
  std::uint32_t codePage = 0;
  ByteView data;  // the resource's bytes, in the module's bytes or the caller's
};

enum class ResourceListFailure {
  kNone,
  kTableOutside,  // a table, entry or name outside the directory's section
  kDataEntryOutside,
  kDataOutside,  // a resource's bytes outside the file, or their address wraps
  kLoops,        // a table reached twice: the tree points back into itself
  kWrongDepth,   // a data entry where a table belongs, or a table below the languages
  kOverlaps,     // a resource's bytes overlap the directory's tables
  kTooMany,      // more entries than any module holds
  kListedTwice,  // two entries of one table with the same name or identifier
};

// Lists the resources of the module (held whole by `image`) in the
// directory's order; an empty list for a module without a directory.
ResourceListFailure ListResources(const PeImage& image, std::vector<PeResourceItem>* items);

// The order in which a directory stores names: named entries first, by their
// upper-cased units, a shorter first; then identifiers ascending. Below 0
// when `a` comes first.
int CompareResourceNames(const PeResourceQuery& a, const PeResourceQuery& b);
