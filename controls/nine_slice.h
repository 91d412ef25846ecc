// Rescaling one slice of a button strip to a client size: the four corners
// are copied pixel for pixel, the four edges and the centre stretched.
#pragma once

#include <windows.h>

#include <array>

struct SkinMargins {
  int top;
  int bottom;
  int left;
  int right;
};

struct SlicePiece {
  int x, y, width, height;                     // in the state image
  int srcX, srcY, srcWidth, srcHeight;         // in the strip
};

// Pieces 0-3 are the corners (top-left, bottom-left, top-right,
// bottom-right), 4 the centre, 5-8 the top, bottom, left and right edges.
using NineSlicePieces = std::array<SlicePiece, 9>;

// Slice `slice` of a strip `stripWidth` x `stripHeight` cut into `slices`
// slices of equal width (truncated), for a client of `clientWidth` x
// `clientHeight`.
NineSlicePieces LayOutNineSlice(int stripWidth, int stripHeight, int slices, int slice, int clientWidth,
                                int clientHeight, const SkinMargins& margins);

// Draws the pieces from `strip` into `image` (both surfaces with their
// bitmaps selected). False, at once, when a corner transfer fails; the
// stretched pieces' results are not looked at.
bool DrawNineSlice(HDC image, HDC strip, const NineSlicePieces& pieces);

// Draws `image` (cw x ch, selected into no surface) onto `target` at (0,0),
// leaving out every pixel of colour `transparent`.
void DrawTransparent(HDC target, HBITMAP image, int width, int height, COLORREF transparent);
