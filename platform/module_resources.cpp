#include "module_resources.h"

#include "formats/icon_directory.h"

bool FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, ByteView* bytes) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return false;
  const void* data = LockResource(loaded);
  if (data == nullptr) return false;
  *bytes = ByteView(data, SizeofResource(module, found));
  return true;
}

HICON IconOfGroupResource(HMODULE module, LPCSTR name) {
  ByteView group;
  if (!FindResourceBytes(module, name, RT_GROUP_ICON, &group) ||
      !icon_directory::GroupHoldsEntries(group)) {
    return nullptr;
  }
  // The system reads every entry the directory counts; the count was checked
  // against the bytes above.
  int id = LookupIconIdFromDirectory(const_cast<BYTE*>(group.Data()), TRUE) & 0xFFFF;
  if (id == 0) return nullptr;
  ByteView image;
  if (!FindResourceBytes(module, MAKEINTRESOURCEA(id), RT_ICON, &image)) return nullptr;
  return CreateIconFromResource(const_cast<BYTE*>(image.Data()), static_cast<DWORD>(image.Length()),
                                TRUE, 0x30000);
}
