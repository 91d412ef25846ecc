// The entries an opened file shows: one per group of a module ("Icon [NAME]",
// "Cursor [NAME]"), or the icon or bitmap file itself; and which one is
// selected. The window's entries are its list box; the command's are kept in
// memory in the same order. The document works over either.
#pragma once

#include <cstddef>
#include <string>

#include "platform/module_resources.h"
#include "platform/platform.h"
#include "resource_name.h"

class EntryList {
 public:
  // Adds an entry where a sorted list box puts it. A text name (a block of
  // the C heap) then belongs to the entry. False, taking nothing, when the
  // entry can't be added.
  virtual bool Add(const char* text, ResourceName name) = 0;
  // Removes every entry and lets go of their names.
  virtual void Clear() = 0;

  virtual std::size_t Count() const = 0;
  virtual std::string Text(std::size_t index) const = 0;
  // The group an entry names; 0 for the entry of an icon or bitmap file, and
  // past the end.
  virtual ResourceName Name(std::size_t index) const = 0;
  // -1 when none is selected.
  virtual int Selected() const = 0;
  virtual void Select(int index) = 0;

  // Adds one entry for each group of `type` (RT_GROUP_ICON or
  // RT_GROUP_CURSOR) of the module, in its order; the enumeration's result.
  virtual BOOL ListGroups(const ModuleResources& module, LPCSTR type);

 protected:
  EntryList() = default;
  ~EntryList() = default;
  EntryList(const EntryList&) = default;
  EntryList& operator=(const EntryList&) = default;
};

// Bytes of the buffer an entry text is formatted into, terminating zero
// included; a longer text is cut to fit.
constexpr std::size_t kEntryTextBytes = 256;

// Adds the entry of group `name` of `type`: "Icon [%s]" or "Cursor [%s]" for
// a text name, with a heap copy of the text as the entry's name, or
// "Icon [%d]" for an identifier. False when it could not be added.
bool AddGroupEntry(EntryList& list, LPCSTR type, LPCSTR name);
