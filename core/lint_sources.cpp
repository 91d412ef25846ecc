#include "lint_sources.h"

#include "formats/input_limits.h"
#include "held_entries.h"
#include "module_loading.h"
#include "resource_name.h"

namespace {

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
  // Named as the command's entries are, in the directory's order: the
  // program's icon first.
  HeldEntries entries(EntryOrder::kAdded);
  entries.ListGroups(*module_, RT_GROUP_ICON);
  if (entries.Count() == 0) return LintRead::kNoIcons;
  const std::size_t count = allGroups ? entries.Count() : 1;
  for (std::size_t i = 0; i < count; ++i) {
    ByteView directory;
    if (!module_->Find(ResourceNameArgument(entries.Name(i)), RT_GROUP_ICON, &directory)) continue;
    groups_.push_back(NamedGroup{entries.Text(i), ReadModuleGroup(*module_, directory)});
  }
  return LintRead::kRead;
}
