// One group of a module read with every image it names, for group icons
// (type 14 naming icons, type 3) and group cursors (type 12 naming cursors,
// type 1, each a hot spot before its image) alike.
#pragma once

#include <optional>

#include "icon_group.h"
#include "messages.h"
#include "module_icons.h"
#include "platform/module_resources.h"
#include "resource_name.h"

// What reading a group gives: the group, or no group and, when the reader
// has something to say, the message that says why, shown by the caller once
// the module and the group's blocks are let go.
struct GroupRead {
  IconGroupPtr group;
  std::optional<Message> failure;
};

// Reads group `name` of the module: its group icon, or with `cursor` its
// group cursor. A group icon whose resource is missing, or an image missing
// without `reading->missing`, gives no group and nothing to say; a cursor
// group that can't be read whole says so.
GroupRead ReadModuleGroup(const ModuleResources& module, const char* path, ResourceName name, bool cursor,
                          GroupReading* reading);
