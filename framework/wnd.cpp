#include "wnd.h"

#include <commctrl.h>

CWnd::~CWnd() { Unsubclass(); }

BOOL CWnd::SubclassWindow(HWND window) {
  if (window == nullptr || m_bSubclassed) return FALSE;
  m_hWnd = window;
  PreSubclassWindow();
  if (!SetWindowSubclass(window, &CWnd::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    m_hWnd = nullptr;
    return FALSE;
  }
  m_bSubclassed = true;
  return TRUE;
}

void CWnd::Unsubclass() {
  if (m_bSubclassed && m_hWnd) RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, 0);
  m_bSubclassed = false;
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
  DWORD_PTR self = 0;
  if (window == nullptr || !GetWindowSubclass(window, &CWnd::SubclassProc, 0, &self)) return nullptr;
  return reinterpret_cast<CWnd*>(self);
}

std::wstring CWnd::GetWindowText() const {
  int length = GetWindowTextLengthW(m_hWnd);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(m_hWnd, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CWnd::Default() {
  return DefSubclassProc(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  CurrentMessage outer = m_current;
  m_current = {message, wParam, lParam};
  bool handled = false;
  try {
    handled = OnWndMsg(message, wParam, lParam, result);
  } catch (...) {
    // Nothing of ours throws on purpose; an allocation failure ends this
    // message's handling and the window goes on.
    handled = false;
  }
  m_current = outer;
  return handled;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
  CWnd* wnd = reinterpret_cast<CWnd*>(self);
  if (message == WM_NCDESTROY) {
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    wnd->Unsubclass();
    wnd->m_hWnd = nullptr;
    return result;
  }
  LRESULT result = 0;
  if (wnd->Dispatch(message, wParam, lParam, result)) return result;
  return DefSubclassProc(window, message, wParam, lParam);
}
