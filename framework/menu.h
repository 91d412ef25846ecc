// CMenu: a popup menu the program makes, destroyed with its owner. A
// submenu appended to another belongs to that one from then on.
#pragma once

#include <windows.h>

#include <utility>

class CMenu {
 public:
  CMenu() = default;
  ~CMenu() { DestroyMenu(); }
  CMenu(CMenu&& other) noexcept : m_hMenu(std::exchange(other.m_hMenu, nullptr)) {}
  CMenu& operator=(CMenu&& other) noexcept {
    if (this != &other) {
      DestroyMenu();
      m_hMenu = std::exchange(other.m_hMenu, nullptr);
    }
    return *this;
  }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  BOOL CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
  }
  HMENU GetSafeHmenu() const { return m_hMenu; }
  BOOL AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text) const {
    return ::AppendMenuW(m_hMenu, flags, id, text);
  }
  // Appends `submenu`, which this menu destroys from then on.
  BOOL AppendSubmenu(CMenu&& submenu, const wchar_t* text) const {
    if (!::AppendMenuW(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.m_hMenu), text)) return FALSE;
    submenu.m_hMenu = nullptr;
    return TRUE;
  }
  // Runs the menu at `at` (screen) for `owner`; the command chosen, or 0.
  UINT TrackPopupMenu(POINT at, HWND owner) const {
    return static_cast<UINT>(::TrackPopupMenu(m_hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                              at.x, at.y, 0, owner, nullptr));
  }
  BOOL DestroyMenu() {
    if (m_hMenu == nullptr) return FALSE;
    return ::DestroyMenu(std::exchange(m_hMenu, nullptr));
  }

 private:
  HMENU m_hMenu = nullptr;
};
