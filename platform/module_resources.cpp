#include "module_resources.h"

#include <cstring>

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
  if (!bytes || !module_.Parse(ByteView(bytes.get(), length))) {
    module_ = ne_module::NeModule();
    return false;
  }
  bytes_ = std::move(bytes);
  return true;
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
  // The module is held whole: bytes past its end were never there.
  return module_.Bytes(found, bytes) ? Lookup::kFound : Lookup::kUnreadable;
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
