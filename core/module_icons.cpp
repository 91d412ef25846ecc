#include "module_icons.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "messages.h"
#include "module_loading.h"
#include "platform/handles.h"
#include "platform/module_resources.h"

namespace {

// The count of a group-icon resource whose bytes hold every entry it counts;
// false for a shorter block.
bool ReadGroupCount(ByteView group, std::uint16_t* count) {
  ByteCursor cursor(group);
  icon_directory::Header header;
  if (!icon_directory::GroupHoldsEntries(group) || !icon_directory::ReadHeader(cursor, &header)) {
    return false;
  }
  *count = header.count;
  return true;
}

}  // namespace

bool GroupNameOfEntry(const std::string& entry, std::string* name) {
  static const char kStart[] = "Icon [";
  const std::size_t start = sizeof kStart - 1;
  if (entry.size() < start + 1 || entry.compare(0, start, kStart) != 0 || entry.back() != ']') return false;
  *name = entry.substr(start, entry.size() - start - 1);
  return true;
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

// What reading a group gives: the group, or no group and, when the reader
// has something to say, the message that says why, shown by the caller once
// the module and the group's blocks are let go.
struct GroupRead {
  IconGroupPtr group;
  std::optional<Message> failure;
};

GroupRead Failed(Message message) { return GroupRead{nullptr, message}; }

GroupRead ReadGroup(const ModuleResources& module, const char* path, ResourceName name, GroupReading* reading) {
  if (name == 0) return {};
  std::vector<std::uint16_t>* missing = reading->missing;
  const WORD language = reading->language;

  ByteView groupBytes;
  const ModuleResources::Lookup groupFound =
      module.FindInLanguage(ResourceNameArgument(name), RT_GROUP_ICON, language, &groupBytes);
  if (groupFound != ModuleResources::Lookup::kFound) {
    if (groupFound == ModuleResources::Lookup::kUnreadable) reading->failure = GroupReadFailure::kUnreadable;
    return {};
  }
  std::uint16_t count = 0;
  if (!ReadGroupCount(groupBytes, &count)) return Failed(Message::kModuleNotAnIconImage);

  // Room for one record at least: code that looks at the first record of
  // the current group finds zeros, not the end of the block.
  IconGroupPtr group(static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(count ? count : 1))));
  if (!group) return Failed(Message::kModuleOutOfMemory);
  SetGroupPath(group->modulePath, path);
  group->iconPath[0] = '\0';
  group->imageCount = 0;

  std::uint64_t totalBytes = 0;
  // Entries that name one resource (or the same bytes) share its copy: a
  // group of 65535 entries naming one image holds that image once.
  std::map<std::pair<const std::uint8_t*, std::size_t>, BYTE*> copies;
  for (std::uint32_t i = 0; i < count; ++i) {
    // Every entry the count names is inside the bytes: checked above.
    icon_directory::Entry entry{};
    icon_directory::GroupEntryAt(groupBytes, i, &entry);
    ByteView imageBytes;
    LPCSTR id = MAKEINTRESOURCEA(entry.resourceId);
    ModuleResources::Lookup found = module.FindInLanguage(id, RT_ICON, language, &imageBytes);
    // In the group's language first, then as the group of no language asked
    // for finds them.
    if (found == ModuleResources::Lookup::kMissing && language != 0) {
      found = module.FindInLanguage(id, RT_ICON, 0, &imageBytes);
    }
    if (found == ModuleResources::Lookup::kUnreadable) {
      reading->failure = GroupReadFailure::kUnreadable;
      return {};
    }
    if (found == ModuleResources::Lookup::kMissing) {
      if (missing == nullptr) return {};
      missing->push_back(entry.resourceId);
      continue;
    }
    imageBytes = module.EntryImage(imageBytes, entry.bytes);
    IconImage* image = GroupImage(group.get(), group->imageCount);
    const auto key = std::make_pair(imageBytes.Data(), imageBytes.Length());
    const auto known = copies.find(key);
    if (known != copies.end()) {
      image->bits = known->second;
      image->sharesBits = true;
      ++group->imageCount;
    } else {
      // Distinct resources are distinct bytes of the module; their copies
      // together are bounded like the images of an icon file.
      totalBytes += imageBytes.Length();
      if (imageBytes.Length() > limits::kMaxBlockBytes || totalBytes > limits::kMaxGroupBytes) {
        return Failed(Message::kModuleOutOfMemory);
      }
      image->bits = static_cast<BYTE*>(std::malloc(imageBytes.Length() ? imageBytes.Length() : 1));
      if (image->bits == nullptr) return Failed(Message::kModuleOutOfMemory);
      ++group->imageCount;  // the block is now the group's to free
      if (imageBytes.Length() != 0) std::memcpy(image->bits, imageBytes.Data(), imageBytes.Length());
      try {
        copies.emplace(key, image->bits);
      } catch (const std::bad_alloc&) {
        return Failed(Message::kModuleOutOfMemory);
      }
    }
    image->byteCount = static_cast<std::uint32_t>(imageBytes.Length());
    if (!BindImagePointers(image)) return Failed(Message::kModuleNotAnIconImage);
    TakeEntryDepth(image, entry.planes, entry.bitCount);
  }
  return GroupRead{std::move(group), std::nullopt};
}

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
    read = module ? ReadGroup(*module, path, name, reading) : Failed(Message::kModuleNotLoaded);
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
  return Shown(ReadGroup(module, path, name, reading), path);
}
