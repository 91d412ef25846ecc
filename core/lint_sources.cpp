#include "lint_sources.h"

#include "formats/input_limits.h"
#include "module_loading.h"
#include "resource_name.h"

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  const ResourceName value = ResourceNameFromArgument(name);
  reinterpret_cast<std::vector<std::string>*>(names)->push_back(
      IsIntegerResourceName(value) ? "#" + ResourceNameText(value) : std::string(name));
  return TRUE;
}

// "#12" as the entries show it, "Icon [12]"; a text name as it is.
std::string GroupText(const std::string& name) {
  return "Icon [" + (name.size() > 1 && name[0] == '#' ? name.substr(1) : name) + "]";
}

// The group's entries and the icon resource each names.
LintedGroup ReadModuleGroup(const ModuleResources& module, ByteView directory) {
  LintedGroup group;
  ByteCursor cursor(directory);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header)) return group;
  for (std::uint32_t i = 0; i < header.count; ++i) {
    LintedImage image;
    if (!icon_directory::ReadGroupEntry(cursor, &image.entry)) break;
    ByteView resource;
    if (module.Find(MAKEINTRESOURCEA(image.entry.resourceId), RT_ICON, &resource)) {
      image.block = module.EntryImage(resource, image.entry.bytes);
    }
    group.images.push_back(image);
  }
  return group;
}

}  // namespace

LintRead LintSource::Read(const char* path, file_kind::Kind kind, bool allGroups) {
  if (kind == file_kind::Kind::kIcon || kind == file_kind::Kind::kCursor) return ReadDirectoryFile(path);
  if (kind == file_kind::Kind::kModule) return ReadModule(path, allGroups);
  return LintRead::kNotLintable;
}

LintRead LintSource::ReadDirectoryFile(const char* path) {
  const FileContentsRead read = ReadFileAt(path, limits::kMaxIconFileBytes, &contents_);
  if (read == FileContentsRead::kOutOfMemory) return LintRead::kOutOfMemory;
  if (read != FileContentsRead::kDone) return LintRead::kCannotRead;
  const ByteView bytes = contents_.View();
  ByteCursor cursor(bytes);
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header)) return LintRead::kDirectoryCut;
  NamedGroup named;
  named.group.cursor = header.type == icon_directory::kCursorType;
  named.text = named.group.cursor ? "Cursor" : "Icon";
  for (std::uint32_t i = 0; i < header.count; ++i) {
    LintedImage image;
    if (!icon_directory::ReadFileEntry(cursor, &image.entry)) return LintRead::kDirectoryCut;
    image.block = bytes.Sub(image.entry.fileOffset, image.entry.bytes);
    named.group.images.push_back(image);
  }
  groups_.push_back(std::move(named));
  return LintRead::kRead;
}

LintRead LintSource::ReadModule(const char* path, bool allGroups) {
  module_ = LoadModuleResources(path);
  if (!module_) return LintRead::kNotLoadable;
  std::vector<std::string> names;
  module_->EnumerateNames(RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&names));
  if (names.empty()) return LintRead::kNoIcons;
  if (!allGroups) names.resize(1);
  for (const std::string& name : names) {
    ByteView directory;
    if (!module_->Find(name.c_str(), RT_GROUP_ICON, &directory)) continue;
    groups_.push_back(NamedGroup{GroupText(name), ReadModuleGroup(*module_, directory)});
  }
  return LintRead::kRead;
}
