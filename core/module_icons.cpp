#include "module_icons.h"

#include <memory>
#include <optional>
#include <utility>

#include "messages.h"
#include "module_groups.h"
#include "module_loading.h"
#include "platform/handles.h"
#include "platform/module_resources.h"

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
