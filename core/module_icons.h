// Icons inside Windows modules (.EXE, .DLL, .ICL), read without running them:
// the module is loaded as a data file and only its group-icon (type 14) and
// icon (type 3) resources are looked at. 32-bit modules (PE) are loaded by
// the platform; 16-bit ones (NE: Windows 3.x modules and fonts, most .ICL
// libraries), which it can't load, are read by our own reader, in both
// builds. The same code reads a group from either.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "icon_group.h"
#include "platform/module_resources.h"
#include "platform/platform.h"
#include "resource_name.h"

// An icon of the group-icon resource `name` of an already loaded module, in
// the image that best fits the display; null on any failure, without a
// message. The module stays loaded; the icon belongs to the caller.
HICON LoadPreviewIcon(HMODULE module, ResourceName name);

// Loads the module at `path` (a 32-bit one as a data file, a 16-bit one into
// memory: LoadModuleResources) and reads the group-icon resource `name` with
// every image into a new group (modulePath = path, every record
// bound), owned by the caller and released with FreeIconGroup. Null on
// failure; the module is freed on every path. Messages (path as caption,
// owned by MessageOwner()) when the module can't be loaded, a block can't be
// allocated or an image is not a valid icon image; a missing resource gives
// null silently. With `missing`, an image whose icon resource is missing is
// left out instead, and its identifier added there.
IconGroup* LoadModuleIconGroup(const char* path, ResourceName name, std::vector<std::uint16_t>* missing = nullptr);

// Why a module's group was not read, beyond the messages the read shows.
enum class GroupReadFailure {
  kNone,
  // A resource the directory lists could not be read: the file was
  // shortened by another program since it was loaded, or ends before it.
  // Nothing is said: the window tells it as a group it can't save.
  kUnreadable,
};

// Which group of a module to read and what the read came to.
struct GroupReading {
  // The group in this language (0: the one FindResourceA finds), its images
  // looked up in it first.
  WORD language = 0;
  std::vector<std::uint16_t>* missing = nullptr;  // as for LoadModuleIconGroup
  // The images point into the module's bytes, not into copies of them: for
  // a reader that lets go of the group before the module and writes into
  // none of its blocks.
  bool borrow = false;
  GroupReadFailure failure = GroupReadFailure::kNone;
};
IconGroup* LoadModuleIconGroup(const char* path, ResourceName name, GroupReading* reading);

// The same read from a module that is already loaded (and stays loaded), for
// reading many groups of one module; `path` names it in messages and in
// modulePath.
IconGroup* ReadModuleIconGroup(HMODULE module, const char* path, ResourceName name);
IconGroup* ReadModuleIconGroup(const ModuleResources& module, const char* path, ResourceName name,
                               std::vector<std::uint16_t>* missing = nullptr);
IconGroup* ReadModuleIconGroup(const ModuleResources& module, const char* path, ResourceName name,
                               GroupReading* reading);

// LoadPreviewIcon of a module read by either reader.
HICON LoadPreviewIcon(const ModuleResources& module, ResourceName name);
