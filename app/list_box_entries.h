// The entries of the main window: its sorted list box, the icon list
// IDC_ICON_LIST, with each entry's name in its item data. The document works
// over these as over any entry list; only the window knows they are a control.
#pragma once

#include "core/entry_list.h"
#include "platform/platform.h"

class ListBoxEntries final : public EntryList {
 public:
  // The icon list of `window`; none when the window has no such control, and
  // then no entry is ever added.
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

// The EnumResourceNamesA callback for group-icon resources; `window` is the
// window whose icon list receives one entry per group: "Icon [%s]" for a
// text name, with a heap copy of the text as item data (owned by the entry,
// see ReleaseListGroupNames), or "Icon [%d]" with the identifier as item
// data. Always 1, so that the enumeration goes on.
BOOL CALLBACK ListGroupName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR window);

// Frees the copies of text names that the entries of the icon list of
// `window` hold as item data, and sets those item data to 0. Call before
// emptying the list and before the window goes away.
void ReleaseListGroupNames(HWND window);
