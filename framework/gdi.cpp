#include "gdi.h"

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT id) {
  Attach(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id & 0xFFFF), IMAGE_BITMAP, 0, 0, 0)));
  return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  Attach(::CreateCompatibleBitmap(dc, width, height));
  return m_hObject != nullptr;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  return m_hObject != nullptr;
}

int CBitmap::GetBitmap(BITMAP* info) const {
  return ::GetObjectW(m_hObject, sizeof(BITMAP), info);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font) {
  Attach(::CreateFontIndirectW(font));
  return m_hObject != nullptr;
}

CDC::~CDC() {
  if (m_bOwned) DeleteDC();
}

BOOL CDC::CreateCompatibleDC(HDC dc) {
  if (m_bOwned) DeleteDC();
  m_hDC = ::CreateCompatibleDC(dc);
  m_bOwned = m_hDC != nullptr;
  return m_bOwned;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr || !m_bOwned) return FALSE;
  m_bOwned = false;
  return ::DeleteDC(std::exchange(m_hDC, nullptr));
}

void CDC::Attach(HDC borrowed) {
  if (m_bOwned) DeleteDC();
  m_hDC = borrowed;
  m_bOwned = false;
}

HDC CDC::Detach() {
  m_bOwned = false;
  return std::exchange(m_hDC, nullptr);
}
