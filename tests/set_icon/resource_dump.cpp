// Lists every resource of a module as kernel32 finds it, loaded as a data
// file: "TYPE NAME LANGUAGE SIZE HASH" a line (identifiers as #N, the hash
// FNV-1a of the bytes LockResource gives), and for a group icon the icon
// identifiers its entries name. The set-icon test compares these lists.
#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

std::uint64_t Fnv(const BYTE* bytes, DWORD count) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (DWORD i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

void PrintName(LPCSTR name) {
  if (IS_INTRESOURCE(name)) {
    std::printf("#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
  } else {
    std::printf("%s", name);
  }
}

void PrintGroupIds(const BYTE* bytes, DWORD count) {
  for (DWORD at = 6; bytes != nullptr && at + 14 <= count; at += 14)
    std::printf(" %u", bytes[at + 12] | bytes[at + 13] << 8);
}

BOOL CALLBACK OnLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
  HRSRC found = FindResourceExA(module, type, name, language);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const BYTE* bytes = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  const DWORD count = found != nullptr ? SizeofResource(module, found) : 0;
  PrintName(type);
  std::putchar(' ');
  PrintName(name);
  std::printf(" %u %lu %016llx", language, static_cast<unsigned long>(count),
              static_cast<unsigned long long>(bytes != nullptr ? Fnv(bytes, count) : 0));
  if (type == RT_GROUP_ICON) PrintGroupIds(bytes, count);
  std::putchar('\n');
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR) {
  EnumResourceLanguagesA(module, type, name, OnLanguage, 0);
  return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR) {
  EnumResourceNamesA(module, type, OnName, 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return 1;
  EnumResourceTypesA(module, OnType, 0);
  FreeLibrary(module);
  return 0;
}
