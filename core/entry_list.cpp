#include "entry_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/handles.h"

namespace {

// The length of the longest start of `name` that holds whole characters of
// the system's code page and at most `room` bytes.
std::size_t WholeCharacters(const char* name, std::size_t room) {
  const char* end = name;
  while (*end != '\0') {
    const char* next = CharNextA(end);
    if (next == end || static_cast<std::size_t>(next - name) > room) break;
    end = next;
  }
  return static_cast<std::size_t>(end - name);
}

// Nothing may be thrown through the system's enumeration, and an entry that
// can't be added is left out: the enumeration always goes on.
BOOL CALLBACK AddGroupEntryOf(HMODULE, LPCSTR type, LPSTR name, LONG_PTR list) {
  AddGroupEntry(*reinterpret_cast<EntryList*>(list), type, name);
  return TRUE;
}

}  // namespace

BOOL EntryList::ListGroups(const ModuleResources& module, LPCSTR type) {
  // A failed listing's reason is then the enumeration's own, not an earlier call's.
  SetLastError(ERROR_SUCCESS);
  return module.EnumerateNames(type, AddGroupEntryOf, reinterpret_cast<LONG_PTR>(this));
}

bool AddGroupEntry(EntryList& list, LPCSTR type, LPCSTR name) {
  const char* kind = type == RT_GROUP_CURSOR ? "Cursor" : "Icon";
  ResourceName value = ResourceNameFromArgument(name);
  char text[kEntryTextBytes];
  HeapPtr<char> copy;
  if (IsIntegerResourceName(value)) {
    std::snprintf(text, sizeof text, "%s [%d]", kind, static_cast<int>(value));
  } else {
    const std::size_t length = std::strlen(name);
    copy.reset(static_cast<char*>(std::malloc(length + 1)));
    // Without its copy the entry could not name its resource: it is left out.
    if (!copy) return false;
    std::memcpy(copy.get(), name, length + 1);
    // A name too long for the entry is cut, keeping the closing bracket, on
    // a character boundary: half a double-byte character before "]" would
    // take the bracket into another character.
    const std::size_t room = sizeof text - std::strlen(kind) - sizeof " []";
    const int kept = static_cast<int>(WholeCharacters(copy.get(), room));
    std::snprintf(text, sizeof text, "%s [%.*s]", kind, kept, copy.get());
    value = ResourceNameFromArgument(copy.get());
  }
  if (!list.Add(text, value)) return false;  // the copy goes with `copy`
  copy.release();                            // now the entry's
  return true;
}
