// Native dialogs holding a sorted list box, and the clipboard the native build
// does not have.
#include "win32_api.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/list_order.h"

struct HWND__ {
  int id = 0;
  bool isList = false;
  std::vector<std::unique_ptr<HWND__>> children;
  struct Entry {
    std::string text;
    LONG_PTR data = 0;
  };
  std::vector<Entry> entries;
  LRESULT selection = LB_ERR;
};

namespace {

constexpr int kListId = 1000;

bool ValidIndex(const HWND__* list, WPARAM index) { return index < list->entries.size(); }

LRESULT AddString(HWND__* list, const char* text) {
  if (text == nullptr) text = "";
  std::size_t at = SortedInsertIndex(text, list->entries.size(), [list](std::size_t i) {
    return list->entries[i].text.c_str();
  });
  list->entries.insert(list->entries.begin() + static_cast<std::ptrdiff_t>(at),
                       HWND__::Entry{text, 0});
  // The selection stays on its entry, as with a real list box.
  if (list->selection != LB_ERR && static_cast<std::size_t>(list->selection) >= at) {
    ++list->selection;
  }
  return static_cast<LRESULT>(at);
}

LRESULT ListMessage(HWND__* list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LB_ADDSTRING:
      return AddString(list, reinterpret_cast<const char*>(lParam));
    case LB_RESETCONTENT:
      list->entries.clear();
      list->selection = LB_ERR;
      return 0;
    case LB_GETCOUNT:
      return static_cast<LRESULT>(list->entries.size());
    case LB_SETCURSEL:
      if (!ValidIndex(list, wParam)) {
        list->selection = LB_ERR;
        return LB_ERR;
      }
      list->selection = static_cast<LRESULT>(wParam);
      return list->selection;
    case LB_GETCURSEL:
      return list->selection;
    case LB_GETTEXTLEN:
      if (!ValidIndex(list, wParam)) return LB_ERR;
      return static_cast<LRESULT>(list->entries[wParam].text.size());
    case LB_GETTEXT: {
      if (!ValidIndex(list, wParam) || lParam == 0) return LB_ERR;
      const std::string& text = list->entries[wParam].text;
      std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
      return static_cast<LRESULT>(text.size());
    }
    case LB_GETITEMDATA:
      if (!ValidIndex(list, wParam)) return LB_ERR;
      return list->entries[wParam].data;
    case LB_SETITEMDATA:
      if (!ValidIndex(list, wParam)) return LB_ERR;
      list->entries[wParam].data = lParam;
      return TRUE;
    default:
      return 0;
  }
}

}  // namespace

HWND CreateNativeListDialog() {
  std::unique_ptr<HWND__> dialog(new (std::nothrow) HWND__);
  std::unique_ptr<HWND__> list(new (std::nothrow) HWND__);
  if (!dialog || !list) return nullptr;
  list->id = kListId;
  list->isList = true;
  try {
    dialog->children.push_back(std::move(list));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return dialog.release();
}

HWND GetDlgItem(HWND dialog, int id) {
  if (dialog == nullptr) return nullptr;
  for (const auto& child : dialog->children) {
    if (child->id == id) return child.get();
  }
  return nullptr;
}

HWND GetLastActivePopup(HWND window) { return window; }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr || !window->isList) return LB_ERR;
  try {
    return ListMessage(window, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    return LB_ERRSPACE;
  }
}

BOOL DestroyWindow(HWND window) {
  // Children belong to their dialog and go with it.
  if (window == nullptr || window->isList) return FALSE;
  delete window;
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) { return window != nullptr; }

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
