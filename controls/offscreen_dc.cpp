#include "offscreen_dc.h"

COffscreenDC::COffscreenDC(HDC target, const RECT& rect)
    : m_pBitmap(std::make_unique<CBitmap>()), m_pTargetDC(target), m_rcTarget(rect) {
  CreateCompatibleDC(target);
  m_pBitmap->CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top);
  if (m_hDC && m_pBitmap->GetSafeHandle()) m_pOldBitmap = SelectObject(m_hDC, m_pBitmap->GetSafeHandle());
  // The bitmap holds only the rectangle: its top-left corner is the
  // rectangle's, so that drawing at target coordinates lands inside it.
  if (m_hDC) SetViewportOrgEx(m_hDC, -rect.left, -rect.top, nullptr);
}

COffscreenDC::~COffscreenDC() {
  if (m_hDC && m_pOldBitmap) {
    BitBlt(m_pTargetDC, m_rcTarget.left, m_rcTarget.top, m_rcTarget.right - m_rcTarget.left,
           m_rcTarget.bottom - m_rcTarget.top, m_hDC, m_rcTarget.left, m_rcTarget.top, SRCCOPY);
    SelectObject(m_hDC, m_pOldBitmap);
  }
  m_pBitmap.reset();
  DeleteDC();
}
