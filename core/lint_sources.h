// The groups lint looks at, read as stored (directory entries and the bytes
// each names, nothing bound or repaired): an icon or cursor file's one
// group, or a module's group icons, the program's icon (the first in the
// resource directory's order) or all of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "file_io.h"
#include "formats/file_kind.h"
#include "icon_lint.h"
#include "platform/module_resources.h"

struct NamedGroup {
  std::string text;  // "Icon", "Cursor", or a module's "Icon [NAME]"
  LintedGroup group;
};

enum class LintRead {
  kRead,
  kCannotRead,  // the platform's last error says why
  kOutOfMemory,
  kNotLintable,   // a kind of file that holds no icon directory
  kDirectoryCut,  // the file ends inside its directory
  kNotLoadable,   // a module that can't be loaded
  kNoIcons,       // a module without group icons
};

// Holds what the groups' blocks point into for as long as it lives.
class LintSource {
 public:
  LintRead Read(const char* path, file_kind::Kind kind, bool allGroups);
  const std::vector<NamedGroup>& Groups() const { return groups_; }

 private:
  LintRead ReadDirectoryFile(const char* path);
  LintRead ReadModule(const char* path, bool allGroups);

  FileContents contents_;
  std::unique_ptr<ModuleResources> module_;
  std::vector<NamedGroup> groups_;
};
