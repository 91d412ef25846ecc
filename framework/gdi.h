// GDI owners: every surface, bitmap, font and brush the program makes is
// held by one of these and given back in the destructor; what a surface had
// selected, and the colours it had, are put back by scope guards.
#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of a GDI object (bitmap, font, brush).
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : m_hObject(handle) {}
  ~GdiObject() { DeleteObject(); }
  GdiObject(GdiObject&& other) noexcept : m_hObject(std::exchange(other.m_hObject, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Attach(std::exchange(other.m_hObject, nullptr));
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle GetSafeHandle() const { return m_hObject; }
  operator Handle() const { return m_hObject; }  // NOLINT: used where the API takes the handle
  // Takes ownership of `handle`, deleting the object held before.
  void Attach(Handle handle) {
    DeleteObject();
    m_hObject = handle;
  }
  Handle Detach() { return std::exchange(m_hObject, nullptr); }
  BOOL DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    return ::DeleteObject(std::exchange(m_hObject, nullptr));
  }

 protected:
  Handle m_hObject = nullptr;
};

class CBitmap : public GdiObject<HBITMAP> {
 public:
  BOOL LoadBitmap(HINSTANCE module, UINT id);
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  int GetBitmap(BITMAP* info) const;
};

class CFont : public GdiObject<HFONT> {
 public:
  virtual ~CFont() = default;
  BOOL CreateFontIndirect(const LOGFONTW* font);
};

using CBrush = GdiObject<HBRUSH>;

// A surface: a memory surface made by CreateCompatibleDC is owned and
// deleted; one attached with Attach is borrowed and only let go.
class CDC {
 public:
  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }  // NOLINT

  BOOL CreateCompatibleDC(HDC dc);
  BOOL DeleteDC();
  void Attach(HDC borrowed);
  HDC Detach();

 protected:
  HDC m_hDC = nullptr;
  bool m_bOwned = false;
};

// The surface of a window, taken with GetDC and given back with ReleaseDC.
class CWindowSurface {
 public:
  explicit CWindowSurface(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {}
  ~CWindowSurface() {
    if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
  }
  CWindowSurface(const CWindowSurface&) = delete;
  CWindowSurface& operator=(const CWindowSurface&) = delete;
  operator HDC() const { return m_hDC; }  // NOLINT

 private:
  HWND m_hWnd;
  HDC m_hDC;
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC {
 public:
  explicit CPaintDC(HWND window) : m_hWnd(window), m_hDC(BeginPaint(window, &m_ps)) {}
  ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  operator HDC() const { return m_hDC; }  // NOLINT

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_ps{};
  HDC m_hDC;
};

// Selects an object into a surface for the life of the guard.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (m_hOld) SelectObject(m_hDC, m_hOld);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  // False when the surface refused the object.
  explicit operator bool() const { return m_hOld != nullptr; }

 private:
  HDC m_hDC;
  HGDIOBJ m_hOld;
};

// Background colour, text colour and background mode of a surface, put back
// when the guard ends.
class ScopedBkColor {
 public:
  ScopedBkColor(HDC dc, COLORREF colour) : m_hDC(dc), m_old(SetBkColor(dc, colour)) {}
  ~ScopedBkColor() { SetBkColor(m_hDC, m_old); }
  ScopedBkColor(const ScopedBkColor&) = delete;
  ScopedBkColor& operator=(const ScopedBkColor&) = delete;

 private:
  HDC m_hDC;
  COLORREF m_old;
};

class ScopedTextColor {
 public:
  ScopedTextColor(HDC dc, COLORREF colour) : m_hDC(dc), m_old(SetTextColor(dc, colour)) {}
  ~ScopedTextColor() { SetTextColor(m_hDC, m_old); }
  ScopedTextColor(const ScopedTextColor&) = delete;
  ScopedTextColor& operator=(const ScopedTextColor&) = delete;

 private:
  HDC m_hDC;
  COLORREF m_old;
};

class ScopedBkMode {
 public:
  ScopedBkMode(HDC dc, int mode) : m_hDC(dc), m_old(SetBkMode(dc, mode)) {}
  ~ScopedBkMode() { SetBkMode(m_hDC, m_old); }
  ScopedBkMode(const ScopedBkMode&) = delete;
  ScopedBkMode& operator=(const ScopedBkMode&) = delete;

 private:
  HDC m_hDC;
  int m_old;
};
