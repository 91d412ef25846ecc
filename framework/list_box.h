// CListBox: the few list-box messages the main window sends. Entry texts are
// narrow (paths in the system's code page), so they go through the ANSI
// messages and the platform converts them.
#pragma once

#include "wnd.h"

class CListBox : public CWnd {
 public:
  int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }
  int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)); }
  int SetCurSel(int index) const { return static_cast<int>(::SendMessageA(m_hWnd, LB_SETCURSEL, index, 0)); }
  // The entry's item data, or LB_ERR (-1) for an index that is not valid.
  LRESULT GetItemData(int index) const { return ::SendMessageA(m_hWnd, LB_GETITEMDATA, index, 0); }
  int AddString(const char* text) const {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  void ResetContent() const { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
};
