#include "module_bytes.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "tests/support/image_bytes.h"

namespace {

constexpr std::uint32_t kAlign = 0x200;
constexpr std::uint32_t kSectionAt = 0x200;

std::uint32_t AlignUp(std::uint32_t value) { return (value + kAlign - 1) / kAlign * kAlign; }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The resource section, with addresses relative to the image at `rva`.
Bytes ResourceSection(const std::vector<ModuleResource>& resources, std::uint32_t rva) {
  // type -> (names in directory order) -> resource
  struct Key {
    std::string name;
    std::uint16_t id;
    bool operator<(const Key& other) const {
      // Named entries first, sorted; then identifiers ascending.
      if (name.empty() != other.name.empty()) return !name.empty();
      if (!name.empty()) return Upper(name) < Upper(other.name);
      return id < other.id;
    }
  };
  std::map<std::uint16_t, std::map<Key, const ModuleResource*>> tree;
  for (const ModuleResource& r : resources) tree[r.type][Key{r.name, r.id}] = &r;

  // Layout: root dir, type dirs, name dirs (each with one language), data
  // entries, strings, data.
  std::size_t directories = 1 + tree.size();
  std::size_t nameEntries = 0;
  for (auto& type : tree) nameEntries += type.second.size();
  std::size_t entriesBytes = 16 + 8 * tree.size();
  for (auto& type : tree) entriesBytes += 16 + 8 * type.second.size();
  entriesBytes += (16 + 8) * nameEntries;  // language directories
  (void)directories;
  std::size_t dataEntriesAt = entriesBytes;
  std::size_t stringsAt = dataEntriesAt + 16 * nameEntries;
  Bytes strings;
  std::map<const ModuleResource*, std::size_t> stringOffset;
  for (auto& type : tree) {
    for (auto& name : type.second) {
      if (name.first.name.empty()) continue;
      stringOffset[name.second] = stringsAt + strings.size();
      std::string text = Upper(name.first.name);
      AppendU16(strings, static_cast<std::uint32_t>(text.size()));
      for (char c : text) AppendU16(strings, static_cast<unsigned char>(c));
    }
  }
  while (strings.size() % 4) strings.push_back(0);
  std::size_t dataAt = stringsAt + strings.size();

  Bytes section(dataAt, 0);
  Bytes data;
  auto directory = [&](std::size_t at, std::uint32_t named, std::uint32_t ids) {
    PutU16(section, at + 12, named);
    PutU16(section, at + 14, ids);
  };
  std::size_t next = 16 + 8 * tree.size();  // first type directory
  directory(0, 0, static_cast<std::uint32_t>(tree.size()));
  std::size_t rootEntry = 16;
  std::size_t dataEntry = dataEntriesAt;
  std::vector<std::pair<std::size_t, const ModuleResource*>> pendingNames;
  for (auto& type : tree) {
    PutU32(section, rootEntry, type.first);
    PutU32(section, rootEntry + 4, 0x80000000u | static_cast<std::uint32_t>(next));
    rootEntry += 8;
    std::size_t typeDir = next;
    std::uint32_t named = 0, ids = 0;
    for (auto& name : type.second) (name.first.name.empty() ? ids : named)++;
    directory(typeDir, named, ids);
    next = typeDir + 16 + 8 * type.second.size();
    std::size_t nameEntry = typeDir + 16;
    for (auto& name : type.second) {
      const ModuleResource* r = name.second;
      if (name.first.name.empty()) {
        PutU32(section, nameEntry, r->id);
      } else {
        PutU32(section, nameEntry, 0x80000000u | static_cast<std::uint32_t>(stringOffset[r]));
      }
      PutU32(section, nameEntry + 4, 0x80000000u | static_cast<std::uint32_t>(next));
      nameEntry += 8;
      directory(next, 0, 1);
      PutU32(section, next + 16, 0x409);
      PutU32(section, next + 20, static_cast<std::uint32_t>(dataEntry));
      next += 24;
      PutU32(section, dataEntry, rva + static_cast<std::uint32_t>(dataAt + data.size()));
      PutU32(section, dataEntry + 4, static_cast<std::uint32_t>(r->data.size()));
      dataEntry += 16;
      Append(data, r->data);
      while (data.size() % 8) data.push_back(0);
    }
  }
  std::copy(strings.begin(), strings.end(), section.begin() + static_cast<std::ptrdiff_t>(stringsAt));
  Append(section, data);
  return section;
}

}  // namespace

Bytes RandomAccessFile(const std::vector<ModuleResource>& resources) {
  Bytes section = ResourceSection(resources, kSectionAt);
  std::uint32_t rawSize = AlignUp(static_cast<std::uint32_t>(section.size()));
  Bytes file(kSectionAt, 0);
  file[0] = 'M';
  file[1] = 'Z';
  PutU32(file, 0x3C, 0x40);
  std::size_t pe = 0x40;
  file[pe] = 'P';
  file[pe + 1] = 'E';
  PutU16(file, pe + 4, 0x14C);       // i386
  PutU16(file, pe + 6, 1);           // one section
  PutU16(file, pe + 20, 0xE0);       // optional header size
  PutU16(file, pe + 22, 0x2102);     // executable, 32-bit, DLL
  std::size_t opt = pe + 24;
  PutU16(file, opt, 0x10B);          // PE32
  PutU32(file, opt + 28, 0x10000000);  // image base
  PutU32(file, opt + 32, kAlign);    // section alignment
  PutU32(file, opt + 36, kAlign);    // file alignment
  PutU16(file, opt + 40, 4);         // OS version
  PutU16(file, opt + 48, 4);         // subsystem version
  PutU32(file, opt + 56, kSectionAt + rawSize);  // size of image
  PutU32(file, opt + 60, kSectionAt);            // size of headers
  PutU16(file, opt + 68, 2);         // GUI
  PutU32(file, opt + 72, 0x100000);
  PutU32(file, opt + 76, 0x1000);
  PutU32(file, opt + 80, 0x100000);
  PutU32(file, opt + 84, 0x1000);
  PutU32(file, opt + 92, 16);        // data directories
  PutU32(file, opt + 96 + 2 * 8, kSectionAt);
  PutU32(file, opt + 96 + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));
  std::size_t sh = opt + 0xE0;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  std::copy(name, name + 8, file.begin() + static_cast<std::ptrdiff_t>(sh));
  PutU32(file, sh + 8, static_cast<std::uint32_t>(section.size()));
  PutU32(file, sh + 12, kSectionAt);
  PutU32(file, sh + 16, rawSize);
  PutU32(file, sh + 20, kSectionAt);
  PutU32(file, sh + 36, 0x40000040u);  // initialised data, readable
  section.resize(rawSize, 0);
  Append(file, section);
  return file;
}

Bytes GroupDirectory(const std::vector<GroupEntry>& entries, int count) {
  Bytes group;
  AppendU16(group, 0);
  AppendU16(group, 1);
  AppendU16(group, count < 0 ? static_cast<std::uint32_t>(entries.size()) : static_cast<std::uint32_t>(count));
  for (const GroupEntry& e : entries) {
    group.push_back(e.width);
    group.push_back(e.height);
    group.push_back(0);
    group.push_back(0);
    AppendU16(group, 1);
    AppendU16(group, e.bitCount);
    AppendU32(group, e.bytes);
    AppendU16(group, e.id);
  }
  return group;
}

std::vector<ModuleResource> IconResources(std::uint16_t groupId, const std::string& groupName,
                                          const std::vector<Bytes>& images,
                                          std::uint16_t firstId) {
  std::vector<ModuleResource> resources;
  std::vector<GroupEntry> entries;
  for (std::size_t i = 0; i < images.size(); ++i) {
    const Bytes& image = images[i];
    std::uint16_t id = static_cast<std::uint16_t>(firstId + i);
    std::uint8_t width = 0, height = 0;
    std::uint16_t bits = 32;
    if (image.size() >= 40 && image[0] == 40) {
      width = static_cast<std::uint8_t>(GetU32(image, 4));
      height = static_cast<std::uint8_t>(GetU32(image, 8) / 2);
      bits = static_cast<std::uint16_t>(GetU16(image, 14));
    }
    entries.push_back({width, height, bits, static_cast<std::uint32_t>(image.size()), id});
    resources.push_back({3, "", id, image});
  }
  resources.push_back({14, groupName, groupId, GroupDirectory(entries)});
  return resources;
}
