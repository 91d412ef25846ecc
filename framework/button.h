// CButton: a push button; an owner-drawn one paints in DrawItem, which the
// dialog reaches through the reflected WM_DRAWITEM.
#pragma once

#include "wnd.h"

class CButton : public CWnd {
 public:
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
