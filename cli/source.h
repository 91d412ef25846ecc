// What the Open command leaves behind for one source file: the entries of the
// icon list and the current group, as the window would hold them.
#pragma once

#include <string>
#include <vector>

#include "core/icon_group.h"

class Source {
 public:
  Source();
  ~Source();
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  // Opens the file as the Open command does, its kind chosen by the
  // lower-cased extension. Messages go out as they would in the window.
  void Open(const std::string& path);

  const std::vector<std::string>& Entries() const { return entries_; }

  // Index of the entry with this text, or -1.
  int FindEntry(const std::string& text) const;

  // The group that saving the entry would write (null when there is none),
  // read afresh for a module. Owned by the source.
  IconGroup* GroupForEntry(int entry);

  // True when the group has a first record with a block in it.
  static bool HasFirstImage(const IconGroup* group);

 private:
  void OpenIconFile();
  void OpenModule();
  void ReplaceGroup(IconGroup* group);

  std::string path_;
  std::string extension_;
  std::vector<std::string> entries_;
  IconGroup* group_;
};

// The text behind the last "." of the file name (not of its folder),
// lower-cased; empty when the name has none.
std::string LowerExtension(const std::string& path);
