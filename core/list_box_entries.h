// The entries of the main window: its sorted list box, control 1000 of the
// window, with each entry's name in its item data.
#pragma once

#include "entry_list.h"

class ListBoxEntries final : public EntryList {
 public:
  // The list control 1000 of `window`; none when the window has no such
  // control, and then no entry is ever added.
  explicit ListBoxEntries(HWND window);

  bool Add(const char* text, ResourceName name) override;
  void Clear() override;
  std::size_t Count() const override;
  std::string Text(std::size_t index) const override;
  ResourceName Name(std::size_t index) const override;
  int Selected() const override;
  void Select(int index) override;
  // The group icons through ListGroupName, unseen until all are in.
  BOOL ListGroups(const ModuleResources& module, LPCSTR type) override;

 private:
  HWND window_;
  HWND list_;
};
