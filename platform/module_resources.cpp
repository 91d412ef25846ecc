#include "module_resources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "formats/dos_header.h"
#include "formats/icon_directory.h"

namespace {

// How a type or name argument reads for the NE reader: an identifier below
// 65536, "#" and decimal digits for that identifier (one past 16 bits
// matches nothing), else the text.
ne_module::Query QueryOf(LPCSTR argument) {
  ne_module::Query query;
  const auto value = reinterpret_cast<ULONG_PTR>(argument);
  if ((value >> 16) == 0) {
    query.id = static_cast<std::uint16_t>(value);
    return query;
  }
  if (argument[0] == '#') {
    std::uint32_t id = 0;
    for (const char* digit = argument + 1; *digit >= '0' && *digit <= '9' && id <= 0xFFFF; ++digit) {
      id = id * 10 + static_cast<std::uint32_t>(*digit - '0');
    }
    // Stored identifiers have 15 bits: this one is none of them.
    query.id = id <= 0xFFFF ? static_cast<std::uint16_t>(id) : 0xFFFF;
    return query;
  }
  query.isInteger = false;
  query.text = argument;
  query.length = std::strlen(argument);
  return query;
}

}  // namespace

ModuleResources::Lookup LoadedModuleResources::FindInLanguage(LPCSTR name, LPCSTR type, WORD language,
                                                              ByteView* bytes) const {
  // The window's reads ask for no language: FindResourceA's own lookup.
  HRSRC found = language == 0 ? FindResourceA(module_, name, type) : FindResourceExA(module_, type, name, language);
  if (found == nullptr) return Lookup::kMissing;
  HGLOBAL loaded = LoadResource(module_, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return Lookup::kUnreadable;
  *bytes = ByteView(data, SizeofResource(module_, found));
  return Lookup::kFound;
}

bool LoadedModuleResources::FileOffset(const void* bytes, std::uint64_t* offset) const {
  return ModuleFileOffset(module_, bytes, offset);
}

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
  return TRUE;
}

}  // namespace

std::vector<WORD> LoadedModuleResources::Languages(LPCSTR name, LPCSTR type) const {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(module_, type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

BOOL LoadedModuleResources::EnumerateNames(LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) const {
  return EnumResourceNamesA(module_, type, callback, param);
}

bool NeModuleResources::Open(HeapPtr<std::uint8_t> bytes, std::size_t length) {
  RandomAccessFile file;
  if (!bytes || !file.OpenBytes(ByteView(bytes.get(), length)) || !Open(std::move(file))) return false;
  bytes_ = std::move(bytes);
  return true;
}

bool NeModuleResources::Open(RandomAccessFile file) {
  module_ = ne_module::NeModule();
  std::uint8_t dosHeader[dos_header::kBytes];
  std::uint8_t neHeader[ne_module::kHeaderBytes];
  std::uint32_t header;
  std::uint64_t start, end;
  if (!file.Read(0, dosHeader, sizeof dosHeader) ||
      !dos_header::NewHeaderOffset(ByteView(dosHeader, sizeof dosHeader), &header) ||
      !file.Read(header, neHeader, sizeof neHeader) ||
      !ne_module::NeModule::TableRange(ByteView(neHeader, sizeof neHeader), header, &start, &end)) {
    return false;
  }
  // Two 16-bit offsets from one header bound the table to 64 KiB.
  const std::uint64_t length = file.Length();
  const bool inside = end > start && end - start <= length && start <= length - (end - start);
  std::vector<std::uint8_t> table;
  try {
    if (inside) table.resize(static_cast<std::size_t>(end - start));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (inside && !file.Read(start, table.data(), table.size())) return false;
  table_ = std::move(table);
  file_ = std::move(file);
  read_.clear();
  readBytes_ = 0;
  span_.clear();
  module_.OpenTable(ByteView(table_.data(), table_.size()), inside, length);
  std::uint64_t first = UINT64_MAX, last = 0;
  module_.ForEachResource([&](const ne_module::Resource& resource) {
    std::uint64_t offset, bytes;
    if (module_.Place(resource, &offset, &bytes)) {
      first = std::min(first, offset);
      last = std::max(last, offset + bytes);
    }
    return true;
  });
  spanStart_ = last > first ? first : 0;
  spanLength_ = last > first ? last - first : 0;
  return true;
}

bool NeModuleResources::Bytes(const ne_module::Resource& resource, ByteView* bytes) const {
  std::uint64_t offset, length;
  if (!module_.Place(resource, &offset, &length) || length > SIZE_MAX) return false;
  if (span_.empty() && length > spanLength_ - std::min(readBytes_, spanLength_) && spanLength_ <= SIZE_MAX) {
    try {
      span_.resize(static_cast<std::size_t>(spanLength_));
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!file_.Read(spanStart_, span_.data(), span_.size())) {
      span_.clear();
      return false;
    }
  }
  // Every placed resource lies inside the span.
  if (!span_.empty()) {
    *bytes = ByteView(span_.data() + (offset - spanStart_), static_cast<std::size_t>(length));
    return true;
  }
  const auto key = std::make_pair(offset, length);
  auto known = read_.find(key);
  if (known == read_.end()) {
    std::vector<std::uint8_t> block;
    try {
      block.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
      return false;
    } catch (const std::length_error&) {
      return false;
    }
    if (!file_.Read(offset, block.data(), block.size())) return false;
    try {
      known = read_.emplace(key, std::move(block)).first;
    } catch (const std::bad_alloc&) {
      return false;
    }
    readBytes_ += length;
  }
  *bytes = ByteView(known->second.data(), known->second.size());
  return true;
}

bool NeModuleResources::FileOffset(const void* bytes, std::uint64_t* offset) const {
  const auto within = [bytes](const std::vector<std::uint8_t>& block) {
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    return !block.empty() && at >= block.data() && at < block.data() + block.size();
  };
  if (within(span_)) {
    *offset = spanStart_ + static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(bytes) - span_.data());
    return true;
  }
  for (const auto& [place, block] : read_) {
    if (!within(block)) continue;
    *offset = place.first + static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(bytes) - block.data());
    return true;
  }
  return false;
}

ModuleResources::Lookup NeModuleResources::FindInLanguage(LPCSTR name, LPCSTR type, WORD,
                                                          ByteView* bytes) const {
  const ne_module::Query nameQuery = QueryOf(name), typeQuery = QueryOf(type);
  ne_module::Resource found;
  const bool stopped = !module_.ForEachResource([&](const ne_module::Resource& resource) {
    if (!ne_module::Matches(resource.type, typeQuery) || !ne_module::Matches(resource.name, nameQuery)) return true;
    found = resource;
    return false;
  });
  if (!stopped) return Lookup::kMissing;
  // Bytes past the file's end were never there; bytes it no longer holds
  // (shortened since it was opened) are gone.
  return Bytes(found, bytes) ? Lookup::kFound : Lookup::kUnreadable;
}

BOOL NeModuleResources::EnumerateNames(LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) const {
  if (callback == nullptr) return FALSE;
  const ne_module::Query typeQuery = QueryOf(type);
  BOOL result = FALSE;
  // A name's length is one byte.
  char text[256];
  module_.ForEachResource([&](const ne_module::Resource& resource) {
    if (!ne_module::Matches(resource.type, typeQuery)) return true;
    if (resource.name.isInteger) {
      result = callback(nullptr, type, MAKEINTRESOURCEA(resource.name.id), param);
    } else {
      const std::size_t length = resource.name.text.Length();
      if (length != 0) std::memcpy(text, resource.name.text.Data(), length);
      text[length] = '\0';
      result = callback(nullptr, type, text, param);
    }
    return result != FALSE;
  });
  return result;
}

ByteView NeModuleResources::EntryImage(ByteView resource, std::uint32_t entryBytes) const {
  return entryBytes < resource.Length() ? resource.Sub(0, entryBytes) : resource;
}

HICON IconOfGroupResource(const ModuleResources& module, LPCSTR name) {
  ByteView group;
  if (!module.Find(name, RT_GROUP_ICON, &group) || !icon_directory::GroupHoldsEntries(group)) {
    return nullptr;
  }
  // The system reads every entry the directory counts; the count was checked
  // against the bytes above.
  int id = LookupIconIdFromDirectory(const_cast<BYTE*>(group.Data()), TRUE) & 0xFFFF;
  if (id == 0) return nullptr;
  ByteView image;
  icon_directory::Entry entry;
  if (!module.Find(MAKEINTRESOURCEA(id), RT_ICON, &image) ||
      !icon_directory::FindGroupEntry(group, static_cast<std::uint16_t>(id), &entry)) {
    return nullptr;
  }
  image = module.EntryImage(image, entry.bytes);
  return CreateIconFromResource(const_cast<BYTE*>(image.Data()), static_cast<DWORD>(image.Length()),
                                TRUE, 0x30000);
}

HICON IconOfGroupResource(HMODULE module, LPCSTR name) {
  if (module == nullptr) return nullptr;
  return IconOfGroupResource(LoadedModuleResources(module), name);
}
