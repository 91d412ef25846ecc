// A 32-bit top-down bitmap selected into a memory surface, with its pixels
// (0x00RRGGBB) readable and writable directly.
#pragma once

#include <windows.h>

#include <cstdint>

class MemorySurface {
 public:
  MemorySurface(int width, int height) : m_width(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = SelectObject(m_dc, m_bitmap);
    m_height = height;
  }
  ~MemorySurface() {
    SelectObject(m_dc, m_old);
    if (m_bitmap) DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;

  HDC Dc() const { return m_dc; }
  std::uint32_t Get(int x, int y) const {
    GdiFlush();
    return m_bits[y * m_width + x] & 0xFFFFFF;
  }
  void Set(int x, int y, std::uint32_t rgb) { m_bits[y * m_width + x] = rgb; }
  void Fill(std::uint32_t rgb) {
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = rgb;
  }
  // Takes the bitmap out of the surface; the caller owns it.
  HBITMAP Release() {
    SelectObject(m_dc, m_old);
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    return bitmap;
  }

 private:
  int m_width;
  int m_height;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  std::uint32_t* m_bits = nullptr;
};
