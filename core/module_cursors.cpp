#include "module_cursors.h"

#include <utility>

#include "messages.h"
#include "module_groups.h"
#include "module_loading.h"
#include "platform/module_resources.h"

bool ModuleCursors::Open(const char* path) {
  path_ = path;
  entries_.Clear();
  module_.reset();
  // 16-bit modules carry cursors too; our own reader reads those.
  std::unique_ptr<ModuleResources> module = LoadModuleResources(path);
  if (!module) return false;
  Open(std::move(module), path);
  return true;
}

void ModuleCursors::Open(std::unique_ptr<ModuleResources> module, const char* path) {
  path_ = path;
  entries_.Clear();
  module_ = std::move(module);
  entries_.ListGroups(*module_, RT_GROUP_CURSOR);
}

IconGroupPtr ModuleCursors::Read(std::size_t index) const {
  if (index >= entries_.Count() || !module_) return nullptr;
  GroupReading reading;
  GroupRead read = ReadModuleGroup(*module_, path_.c_str(), entries_.Name(index), true, &reading);
  if (read.failure) ShowMessage(*read.failure, path_.c_str());
  return std::move(read.group);
}
