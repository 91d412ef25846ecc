// Writes a whole resource directory, as linkers lay one out, to be placed at
// a given address: every table (root, names of each type, languages of each
// name), the data entries, the name strings, then each resource's bytes on
// an 8-byte boundary.
#pragma once

#include <cstdint>
#include <vector>

#include "resource_list.h"

// Puts `items` in the order their directory lists them: by type, name and
// language, named entries first (as CompareResourceNames orders them), then
// identifiers ascending. False when two are the same resource, or a table
// would count more entries than 16 bits hold.
bool SortResources(std::vector<PeResourceItem>* items);

// The bytes the directory of `sorted` takes.
std::uint64_t ResourceDirectoryBytes(const std::vector<PeResourceItem>& sorted);

// Writes the directory of `sorted` for address `rva` into `out`, zeroed and
// ResourceDirectoryBytes long; the caller has checked that its addresses fit
// 32 bits.
void WriteResourceDirectory(const std::vector<PeResourceItem>& sorted, std::uint32_t rva, std::uint8_t* out);

// True when the two items are the same resource: type, name and language.
bool SameResource(const PeResourceItem& a, const PeResourceItem& b);
