// CSkinButton: an owner-drawn push button painted from a horizontal strip of
// button faces (a bitmap resource). SetSkin cuts the strip into slices and
// rescales four of them to the client size, once; each paint then draws the
// state image for the button's state and the caption over it, offscreen.
#pragma once

#include <windows.h>

#include <memory>

#include "caption_font.h"
#include "framework/button.h"
#include "framework/gdi.h"
#include "framework/message_map.h"
#include "nine_slice.h"

enum SkinImage { Normal = 0, Pressed = 1, Focused = 2, Disabled = 3 };

// What one paint shows for the owner-draw state bits: the state images in
// drawing order, whether the caption moves right, and whether it is grey.
struct SkinFace {
  int images[2];
  int imageCount;
  bool shiftCaption;
  bool grayCaption;
};
SkinFace ChooseSkinFace(UINT itemState);

// How far the caption's rectangle moves right while the button is pressed.
constexpr int kPressedCaptionShift = 5;

class CSkinButton : public CButton {
 public:
  CSkinButton();
  ~CSkinButton() override;

  // Strip `bitmapId` (low 16 bits) of the program's resources, `slices`
  // slices, and the nine-slice margins in pixels. True when the strip was
  // loaded and all four state images were built.
  bool SetSkin(UINT bitmapId, int slices, int top, int bottom, int left, int right);

  void DrawItem(LPDRAWITEMSTRUCT item) override;

 protected:
  void PreSubclassWindow() override;
  BOOL OnEraseBkgnd(HDC dc);

  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    static constexpr MessageMapEntry<CSkinButton> kMessageMap[] = {
        OnMessage<&CSkinButton::OnEraseBkgnd>(WM_ERASEBKGND),
    };
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result) ||
           CButton::OnWndMsg(message, wParam, lParam, result);
  }

 private:
  bool BuildStateImage(CBitmap& strip, CBitmap& image, int slice, int slices);
  void DrawStateImage(HDC dc, int index);
  CBitmap* StateImage(int index);

 public:
  int m_bSkinned = 0;
  UINT m_nBitmapId = 0;
  int m_nSlices = 0;
  CBitmap m_bmpNormal;
  CBitmap m_bmpPressed;
  CBitmap m_bmpFocused;
  CBitmap m_bmpDisabled;
  int m_nTop = 8;
  int m_nBottom = 8;
  int m_nLeft = 8;
  int m_nRight = 17;
  COLORREF m_crTransparent = RGB(255, 0, 255);
  std::unique_ptr<CCaptionFont> m_pFont;
};
