// Small 32-bit Windows modules built byte by byte: headers, one resource
// section, and the group-icon and icon resources a test asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

struct ModuleResource {
  std::uint16_t type;  // 3 icon, 14 group icon
  std::string name;    // a text name (upper case, as resource compilers store it), or
  std::uint16_t id;    // the identifier when `name` is empty
  Bytes data;
};

// A PE32 DLL whose only section holds the resources.
Bytes RandomAccessFile(const std::vector<ModuleResource>& resources);

struct GroupEntry {
  std::uint8_t width;
  std::uint8_t height;
  std::uint16_t bitCount;
  std::uint32_t bytes;
  std::uint16_t id;
};

// A group-icon resource: header with `count` (the entries' number unless
// given) and the entries.
Bytes GroupDirectory(const std::vector<GroupEntry>& entries, int count = -1);

// A group of one image per block, icon ids from `firstId`: the group-icon
// resource `groupId` (or `groupName`) and one icon resource per image.
std::vector<ModuleResource> IconResources(std::uint16_t groupId, const std::string& groupName,
                                          const std::vector<Bytes>& images,
                                          std::uint16_t firstId);
