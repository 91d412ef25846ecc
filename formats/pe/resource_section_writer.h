// Writes a whole resource directory, as linkers lay one out, to be placed at
// a given address: every table (root, names of each type, languages of each
// name), the data entries, the name strings, then each resource's bytes on
// an 8-byte boundary.
#pragma once

#include <cstdint>
#include <vector>

#include "resource_list.h"

// The directory of `items` (no two with the same type, name and language)
// for address `rva`: tables in the order lookups halve them (named entries
// first, as CompareResourceNames orders them, then identifiers ascending;
// languages ascending). False when it would not fit 32 bits of address.
bool WriteResourceDirectory(std::vector<PeResourceItem> items, std::uint32_t rva, std::vector<std::uint8_t>* out);

// True when the two items are the same resource: type, name and language.
bool SameResource(const PeResourceItem& a, const PeResourceItem& b);
