#include "list_box_entries.h"

#include <cstdlib>

#include "grabber_dlg_res.h"

ListBoxEntries::ListBoxEntries(HWND window) : window_(window), list_(GetDlgItem(window, IDC_ICON_LIST)) {}

bool ListBoxEntries::Add(const char* text, ResourceName name) {
  if (list_ == nullptr) return false;
  const LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index < 0) return false;
  return name == 0 ||
         SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(name)) != LB_ERR;
}

void ListBoxEntries::Clear() {
  ReleaseListGroupNames(window_);
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
}

std::size_t ListBoxEntries::Count() const {
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::string ListBoxEntries::Text(std::size_t index) const {
  const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return "";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

ResourceName ListBoxEntries::Name(std::size_t index) const {
  const LRESULT name = SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return name == LB_ERR ? 0 : static_cast<ResourceName>(name);
}

int ListBoxEntries::Selected() const {
  const LRESULT selected = SendMessageA(list_, LB_GETCURSEL, 0, 0);
  return selected < 0 ? -1 : static_cast<int>(selected);
}

void ListBoxEntries::Select(int index) { SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

BOOL ListBoxEntries::ListGroups(const ModuleResources& module, LPCSTR type) {
  if (type != RT_GROUP_ICON) return EntryList::ListGroups(module, type);
  // A list box repaints itself and its scroll bar for every entry added, so
  // that a module of thousands of group icons kept the window busy for
  // minutes: the list is filled unseen and shown once.
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  const BOOL listed = module.EnumerateNames(RT_GROUP_ICON, ListGroupName, reinterpret_cast<LONG_PTR>(window_));
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  return listed;
}

BOOL CALLBACK ListGroupName(HMODULE, LPCSTR, LPSTR name, LONG_PTR window) {
  ListBoxEntries entries(reinterpret_cast<HWND>(window));
  AddGroupEntry(entries, RT_GROUP_ICON, name);
  return TRUE;
}

void ReleaseListGroupNames(HWND window) {
  HWND list = GetDlgItem(window, IDC_ICON_LIST);
  if (list == nullptr) return;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    if (data == LB_ERR) continue;
    auto name = static_cast<ResourceName>(data);
    if (IsIntegerResourceName(name)) continue;
    std::free(reinterpret_cast<void*>(name));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
  }
}
