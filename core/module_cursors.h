// The group cursors (type 12) of a module and the cursors (type 1) they name,
// read through the same resource calls as its group icons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cursor_file.h"
#include "platform/module_resources.h"
#include "sorted_entries.h"

class ModuleCursors {
 public:
  enum class Opened {
    kListed,       // its group cursors are listed, none for a module without any
    kNotLoadable,  // the file can't be loaded as a module
  };
  // Loads the file as a data file, as the Open command loads a module, and
  // lists its group cursors ("Cursor [NAME]") in the order the icon list
  // keeps its entries. Says nothing: the caller tells the outcome.
  Opened Open(const char* path);

  const SortedEntries& Entries() const { return entries_; }

  // Every image of entry `index`, in the group's order; false, after a
  // message, when a cursor it names can't be found or holds no image that
  // binds as an icon image does.
  bool Read(std::size_t index, std::vector<CursorImage>* images) const;

 private:
  std::string path_;
  std::unique_ptr<ModuleResources> module_;
  SortedEntries entries_;
};
