// CWnd: a window object bound to a window handle. Controls that a dialog
// binds (DDX_Control) are subclassed, so that their messages reach the
// object's message map; the object never owns the window.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT

  // Binds the object to an existing window: PreSubclassWindow, then the
  // window's messages go through OnWndMsg first. False when the window is
  // null or already bound.
  BOOL SubclassWindow(HWND window);
  // The object bound to `window` by SubclassWindow, or null.
  static CWnd* FromHandlePermanent(HWND window);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  std::wstring GetWindowText() const;

  // Messages reflected from the parent to the child they concern (owner
  // draw); true when the child took it.
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 protected:
  virtual void PreSubclassWindow() {}
  // The message map: true when a handler took the message.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The platform's default handling of the message being dispatched.
  virtual LRESULT Default();

  // Runs the message map with the message recorded for Default(); keeps any
  // exception from reaching the platform's callback. False when not handled.
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND m_hWnd = nullptr;
  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  CurrentMessage m_current{};

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  void Unsubclass();
  bool m_bSubclassed = false;
};
