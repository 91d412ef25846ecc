// Owners of what the main window holds besides its module (ModuleHandle):
// the current icon group and the icon the preview shows.
#pragma once

#include <windows.h>

#include <memory>

#include "core/icon_group.h"

struct IconGroupDeleter {
  void operator()(IconGroup* group) const { FreeIconGroup(group); }
};
using IconGroupPtr = std::unique_ptr<IconGroup, IconGroupDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconPtr = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
