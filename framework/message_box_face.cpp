#include "message_box_face.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "chinese_face.h"
#include "gdi.h"

namespace {

// Deletes the font the box's text was given when the box goes; its controls
// are gone by then.
LRESULT CALLBACK FontOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR font) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &FontOwnerProc, id);
    std::unique_ptr<CFont> owned(reinterpret_cast<CFont*>(font));
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// The static control that shows the box's text (not its icon).
HWND TextControlOf(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
    if (lstrcmpiW(className, L"Static") == 0 && type != SS_ICON && GetWindowTextLengthW(child) > 0) return child;
  }
  return nullptr;
}

RECT RectInParent(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring TextOf(HWND control) {
  std::wstring content(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  content.resize(static_cast<size_t>(GetWindowTextW(control, &content[0], static_cast<int>(content.size()))));
  return content;
}

// The room the text needs in `font` at the control's width (a line that
// can't be broken may need more).
SIZE TextExtent(HWND text, HFONT font) {
  CWindowSurface surface(text);
  SelectedObject selected(surface, font);
  RECT client;
  GetClientRect(text, &client);
  const std::wstring content = TextOf(text);
  RECT needed{0, 0, client.right, 0};
  DrawTextW(surface, content.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return SIZE{needed.right - client.right, needed.bottom - client.bottom};
}

// Grows the text and the box by `grow`; the buttons below the text move down
// and stay centred.
void GrowBox(HWND box, HWND text, SIZE grow) {
  const RECT textRect = RectInParent(text);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == text) continue;
    const RECT rect = RectInParent(child);
    if (rect.top < textRect.bottom) continue;
    SetWindowPos(child, nullptr, rect.left + grow.cx / 2, rect.top + grow.cy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left + grow.cx, textRect.bottom - textRect.top + grow.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT boxRect;
  GetWindowRect(box, &boxRect);
  SetWindowPos(box, nullptr, boxRect.left - grow.cx / 2, boxRect.top - grow.cy / 2,
               boxRect.right - boxRect.left + grow.cx, boxRect.bottom - boxRect.top + grow.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool IsMessageBox(HWND dialog) {
  const auto procedure = GetWindowLongPtrW(dialog, DWLP_DLGPROC);
  HMODULE owner = nullptr;
  return procedure != 0 &&
         GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(procedure), &owner) &&
         owner == GetModuleHandleW(L"user32.dll");
}

void GiveMessageBoxChineseFace(HWND box) {
  HWND text = TextControlOf(box);
  HFONT shown = text ? reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)) : nullptr;
  LOGFONTW logical{};
  if (shown == nullptr || GetObjectW(shown, sizeof logical, &logical) != sizeof logical) return;
  // Judged by the characters this box shows: a font may hold some Chinese
  // characters and not others.
  const std::wstring face = FaceForChineseText(logical.lfFaceName, TextOf(text));
  if (face == logical.lfFaceName) return;
  lstrcpynW(logical.lfFaceName, face.c_str(), LF_FACESIZE);
  auto font = std::make_unique<CFont>();
  if (!font->CreateFontIndirect(&logical)) return;
  SIZE grow = TextExtent(text, font->GetSafeHandle());
  if (!SetWindowSubclass(box, &FontOwnerProc, 0, reinterpret_cast<DWORD_PTR>(font.get()))) return;
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font.release()->GetSafeHandle()), TRUE);
  if (grow.cx > 0 || grow.cy > 0) GrowBox(box, text, SIZE{grow.cx > 0 ? grow.cx : 0, grow.cy > 0 ? grow.cy : 0});
}
