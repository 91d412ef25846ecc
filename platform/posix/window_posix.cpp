// The clipboard the native build does not have, and the little else of
// user32 the core calls.
#include "win32_api.h"

#include <cstdlib>
#include <new>
#include <string>
#include <strings.h>
#include <vector>

HWND GetLastActivePopup(HWND window) { return window; }

BOOL OpenClipboard(HWND) { return FALSE; }

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (name == nullptr || *name == '\0') return 0;
  constexpr UINT kFirstRegistered = 0xC000;
  static std::vector<std::string> registered;
  for (std::size_t i = 0; i < registered.size(); ++i) {
    if (strcasecmp(registered[i].c_str(), name) == 0) return kFirstRegistered + static_cast<UINT>(i);
  }
  try {
    registered.emplace_back(name);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return kFirstRegistered + static_cast<UINT>(registered.size() - 1);
}
BOOL EmptyClipboard() { return FALSE; }
HANDLE SetClipboardData(UINT, HANDLE) { return nullptr; }
BOOL CloseClipboard() { return FALSE; }

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
  void* block = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1)
                                         : std::malloc(bytes ? bytes : 1);
  return block;
}

LPVOID GlobalLock(HGLOBAL memory) { return memory; }
BOOL GlobalUnlock(HGLOBAL) { return FALSE; }  // the lock count is back at zero

HGLOBAL GlobalFree(HGLOBAL memory) {
  std::free(memory);
  return nullptr;
}

LPSTR CharNextA(LPCSTR text) {
  if (text == nullptr || *text == '\0') return const_cast<LPSTR>(text);
  const char* next = text + 1;
  // Continuation bytes of UTF-8 are 10xxxxxx.
  while ((static_cast<unsigned char>(*next) & 0xC0) == 0x80) ++next;
  return const_cast<LPSTR>(next);
}
