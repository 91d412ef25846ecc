// What the Open command leaves behind for one source file, as the window
// holds it: the icon list (a native list window that sorts as the real one
// does), the module held for a module source, and the current group.
#pragma once

#include <string>
#include <vector>

#include "core/icon_group.h"
#include "core/module_handle.h"
#include "core/module_icons.h"
#include "platform/platform.h"

class Source {
 public:
  Source();
  ~Source();
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  // Opens the file as the Open command does, its kind chosen by the
  // lower-cased extension. Messages go out as they would in the window.
  void Open(const std::string& path);

  const std::string& Path() const { return path_; }

  // The texts of the list's entries, in the list's order.
  std::vector<std::string> Entries() const;

  // Index of the entry with this text, or -1.
  int FindEntry(const std::string& text) const;

  // The group that saving the entry writes (null when there is none): for a
  // module source the entry's group, read afresh, as the Save command does.
  // Owned by the source.
  IconGroup* GroupForEntry(int entry);

  // The same group, read from the module the Open command holds instead of
  // loading it again: for reading every entry of one module.
  IconGroup* GroupForEntryFromHeldModule(int entry);

  // True while a module opened by the last Open is held.
  bool IsModule() const { return static_cast<bool>(module_); }

  // True when the current group has a first record holding a block.
  bool HasFirstImage() const;

 private:
  void OpenIconFile();
  void OpenBitmapFile();
  bool OpenModule();
  void AddEntryIfIcon(HICON icon);
  void ReplaceGroup(IconGroup* group);
  void EmptyList();
  ResourceName EntryName(int entry) const;

  std::string path_;
  std::string extension_;
  HWND dialog_;
  HWND list_;
  ModuleHandle module_;
  IconGroup* group_;
  bool startingGroup_ = true;
};

// The text behind the last "." of the file name (not of its folder),
// lower-cased; empty when the name has none.
std::string LowerExtension(const std::string& path);
