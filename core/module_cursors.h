// The group cursors (type 12) of a module and the cursors (type 1) they name,
// read through the same resource calls as its group icons.
#pragma once

#include <memory>
#include <string>

#include "icon_group.h"
#include "platform/module_resources.h"
#include "held_entries.h"

class ModuleCursors {
 public:
  // Loads the file as a data file, as the Open command loads a module, and
  // lists its group cursors ("Cursor [NAME]") in its resource directory's
  // order, none for a module without any; false when the file
  // can't be loaded as a module. Says nothing: the caller tells the outcome.
  bool Open(const char* path);
  // The same over a module already read, which it takes; `path` names it in
  // messages.
  void Open(std::unique_ptr<ModuleResources> module, const char* path);

  const HeldEntries& Entries() const { return entries_; }

  // Entry `index`'s group cursor with every image, in its order; null,
  // after a message, when a cursor it names can't be found or holds no
  // image that binds as an icon image does.
  IconGroupPtr Read(std::size_t index) const;

 private:
  std::string path_;
  std::unique_ptr<ModuleResources> module_;
  HeldEntries entries_{EntryOrder::kAdded};
};
