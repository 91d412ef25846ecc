#include "nine_slice.h"

#include "framework/gdi.h"

NineSlicePieces LayOutNineSlice(int stripWidth, int stripHeight, int slices, int slice, int clientWidth,
                                int clientHeight, const SkinMargins& m) {
  const int w = slices > 0 ? stripWidth / slices : 0;
  const int x0 = slice * w;
  const int H = stripHeight;
  const int cw = clientWidth;
  const int ch = clientHeight;
  const int T = m.top, B = m.bottom, L = m.left, R = m.right;
  return {{
      {0, 0, L, T, x0, 0, L, T},
      {0, ch - B, L, B, x0, H - B, L, B},
      {cw - R, 0, R, T, x0 + w - R, 0, R, T},
      {cw - R, ch - B, R, B, x0 + w - R, H - B, R, B},
      {L, T, cw - L - R, ch - T - B, x0 + L, T, w - L - R, H - T - B},
      {L, 0, cw - L - R, T, x0 + L, 0, w - L - R, T},
      {L, ch - B, cw - L - R, B, x0 + L, H - B, w - L - R, B},
      {0, T, L, ch - T - B, x0, T, L, H - T - B},
      {cw - R, T, R, ch - T - B, x0 + w - R, T, R, H - T - B},
  }};
}

bool DrawNineSlice(HDC image, HDC strip, const NineSlicePieces& pieces) {
  for (size_t i = 0; i < 4; ++i) {
    const SlicePiece& p = pieces[i];
    if (!BitBlt(image, p.x, p.y, p.width, p.height, strip, p.srcX, p.srcY, SRCCOPY)) return false;
  }
  for (size_t i = 4; i < pieces.size(); ++i) {
    const SlicePiece& p = pieces[i];
    StretchBlt(image, p.x, p.y, p.width, p.height, strip, p.srcX, p.srcY, p.srcWidth, p.srcHeight, SRCCOPY);
  }
  return true;
}

void DrawTransparent(HDC target, HBITMAP image, int width, int height, COLORREF transparent) {
  ScopedBkColor targetBk(target, RGB(255, 255, 255));
  ScopedTextColor targetText(target, RGB(0, 0, 0));
  CDC imageDC;
  CDC maskDC;
  if (!imageDC.CreateCompatibleDC(target) || !maskDC.CreateCompatibleDC(target)) return;
  SelectedObject imageSelected(imageDC, image);
  CBitmap mask;
  mask.CreateBitmap(width, height, 1, 1, nullptr);
  SelectedObject maskSelected(maskDC, mask);
  if (!imageSelected || !maskSelected) return;
  SetBkColor(imageDC, transparent);
  // The mask is 1 where the image has the transparent colour; through the
  // exclusive-or, and, exclusive-or the target keeps its pixel there and
  // takes the image's everywhere else.
  BitBlt(maskDC, 0, 0, width, height, imageDC, 0, 0, SRCCOPY);
  BitBlt(target, 0, 0, width, height, imageDC, 0, 0, SRCINVERT);
  BitBlt(target, 0, 0, width, height, maskDC, 0, 0, SRCAND);
  BitBlt(target, 0, 0, width, height, imageDC, 0, 0, SRCINVERT);
}
