// The font and colour of a skinned button's caption.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

class CCaptionFont : public CFont {
 public:
  // `faceName` is a program text (GBK), as the logical font keeps it.
  explicit CCaptionFont(const char* faceName);
  ~CCaptionFont() override = default;

  COLORREF TextColor() const { return m_crText; }

  LOGFONTA m_lf{};
  COLORREF m_crText = RGB(0, 0, 0);
};
