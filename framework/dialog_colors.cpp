#include "dialog_colors.h"

#include <commctrl.h>

#include "gdi.h"
#include "message_box_face.h"

namespace {

// Lives on the one user-interface thread, like every window of the program.
struct DialogColors {
  HHOOK hook = nullptr;
  COLORREF background = 0;
  COLORREF text = 0;
  CBrush brush;
};
DialogColors g_colors;

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t className[32];
  return GetClassNameW(window, className, 32) > 0 && lstrcmpiW(className, name) == 0;
}

LRESULT CALLBACK ColorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) {
  switch (message) {
    case WM_INITDIALOG: {
      // The platform lays a message box out in its own handling of this
      // message; its text gets a Chinese face after that.
      LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      if (IsMessageBox(window)) GiveMessageBoxChineseFace(window);
      return result;
    }
    case WM_CTLCOLORSTATIC:
      // Read-only edit fields also ask with this message; they keep their own.
      if (HasClass(reinterpret_cast<HWND>(lParam), L"Edit")) break;
      [[fallthrough]];
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
      if (g_colors.brush.GetSafeHandle() == nullptr) break;
      SetBkColor(reinterpret_cast<HDC>(wParam), g_colors.background);
      SetTextColor(reinterpret_cast<HDC>(wParam), g_colors.text);
      return reinterpret_cast<LRESULT>(g_colors.brush.GetSafeHandle());
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &ColorSubclassProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (HasClass(window, L"#32770")) SetWindowSubclass(window, &ColorSubclassProc, 0, 0);
  }
  return CallNextHookEx(g_colors.hook, code, wParam, lParam);
}

}  // namespace

bool InstallDialogColors(COLORREF background, COLORREF text) {
  g_colors.background = background;
  g_colors.text = text;
  g_colors.brush.Attach(CreateSolidBrush(background));
  if (g_colors.hook == nullptr) {
    g_colors.hook = SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, GetCurrentThreadId());
  }
  return g_colors.hook != nullptr;
}

void RemoveDialogColors() {
  if (g_colors.hook) UnhookWindowsHookEx(g_colors.hook);
  g_colors.hook = nullptr;
}
