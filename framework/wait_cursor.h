// The wait (hourglass) cursor for the life of the object.
#pragma once

#include <windows.h>

class CWaitCursor {
 public:
  CWaitCursor() : m_hOld(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
  ~CWaitCursor() { SetCursor(m_hOld); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  HCURSOR m_hOld;
};
