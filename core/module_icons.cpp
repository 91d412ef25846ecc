#include "module_icons.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "list_box_entries.h"
#include "messages.h"
#include "module_groups.h"
#include "module_loading.h"
#include "platform/handles.h"
#include "platform/module_resources.h"

BOOL CALLBACK ListGroupName(HMODULE, LPCSTR, LPSTR name, LONG_PTR window) {
  ListBoxEntries entries(reinterpret_cast<HWND>(window));
  AddGroupEntry(entries, RT_GROUP_ICON, name);
  return TRUE;
}

void ReleaseListGroupNames(HWND window) {
  HWND list = GetDlgItem(window, kIconListId);
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

HICON LoadPreviewIcon(HMODULE module, ResourceName name) {
  if (module == nullptr) return nullptr;
  return LoadPreviewIcon(LoadedModuleResources(module), name);
}

HICON LoadPreviewIcon(const ModuleResources& module, ResourceName name) {
  if (name == 0) return nullptr;
  return IconOfGroupResource(module, ResourceNameArgument(name));
}

namespace {

IconGroup* Shown(GroupRead read, const char* path) {
  if (read.failure) ShowMessage(*read.failure, path);
  return read.group.release();
}

}  // namespace

IconGroup* LoadModuleIconGroup(const char* path, ResourceName name, std::vector<std::uint16_t>* missing) {
  GroupReading reading;
  reading.missing = missing;
  return LoadModuleIconGroup(path, name, &reading);
}

IconGroup* LoadModuleIconGroup(const char* path, ResourceName name, GroupReading* reading) {
  GroupRead read;
  {
    std::unique_ptr<ModuleResources> module = LoadModuleResources(path);
    read = module ? ReadModuleGroup(*module, path, name, false, reading)
                  : GroupRead{nullptr, Message::kModuleNotLoaded};
  }
  // The module is closed, and a group that failed freed, before the user is told.
  return Shown(std::move(read), path);
}

IconGroup* ReadModuleIconGroup(HMODULE module, const char* path, ResourceName name) {
  if (module == nullptr) return nullptr;
  return ReadModuleIconGroup(LoadedModuleResources(module), path, name);
}

IconGroup* ReadModuleIconGroup(const ModuleResources& module, const char* path, ResourceName name,
                               std::vector<std::uint16_t>* missing) {
  GroupReading reading;
  reading.missing = missing;
  return ReadModuleIconGroup(module, path, name, &reading);
}

IconGroup* ReadModuleIconGroup(const ModuleResources& module, const char* path, ResourceName name,
                               GroupReading* reading) {
  return Shown(ReadModuleGroup(module, path, name, false, reading), path);
}
