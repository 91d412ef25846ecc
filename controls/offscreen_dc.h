// A surface for one paint request: everything is drawn into an offscreen
// bitmap, which reaches the target in one transfer when the object goes.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/gdi.h"

class COffscreenDC : public CDC {
 public:
  // `target` is borrowed; the area drawn is `rect`, in the target's
  // coordinates, and the same coordinates are used for drawing here.
  COffscreenDC(HDC target, const RECT& rect);
  ~COffscreenDC() override;

 private:
  std::unique_ptr<CBitmap> m_pBitmap;
  HGDIOBJ m_pOldBitmap = nullptr;
  HDC m_pTargetDC;
  RECT m_rcTarget;
};
