#include "skin_button.h"

#include <string>

#include "framework/win_app.h"
#include "offscreen_dc.h"

namespace {
const char kCaptionFace[] = "宋体";
}

SkinFace ChooseSkinFace(UINT itemState) {
  if (itemState & ODS_FOCUS) {
    if (itemState & ODS_SELECTED) return {{Focused, Pressed}, 2, true, false};
    return {{Focused, 0}, 1, false, false};
  }
  if (itemState & ODS_DISABLED) return {{Disabled, 0}, 1, false, true};
  return {{Normal, 0}, 1, false, false};
}

CSkinButton::CSkinButton() : m_pFont(std::make_unique<CCaptionFont>(kCaptionFace)) {}

CSkinButton::~CSkinButton() {
  m_bmpNormal.DeleteObject();
  m_bmpPressed.DeleteObject();
  m_bmpFocused.DeleteObject();
  m_bmpDisabled.DeleteObject();
  m_pFont.reset();
}

CBitmap* CSkinButton::StateImage(int index) {
  switch (index) {
    case Normal:
      return &m_bmpNormal;
    case Pressed:
      return &m_bmpPressed;
    case Focused:
      return &m_bmpFocused;
    case Disabled:
      return &m_bmpDisabled;
    default:
      return nullptr;
  }
}

bool CSkinButton::SetSkin(UINT bitmapId, int slices, int top, int bottom, int left, int right) {
  m_nTop = top;
  m_nBottom = bottom;
  m_nLeft = left;
  m_nRight = right;
  m_nBitmapId = bitmapId;
  m_nSlices = slices;
  if (slices < 1) return false;

  CBitmap strip;
  if (!strip.LoadBitmap(AfxGetResourceHandle(), bitmapId & 0xFFFF)) return false;
  return BuildStateImage(strip, m_bmpNormal, 0, slices) && BuildStateImage(strip, m_bmpPressed, 1, slices) &&
         BuildStateImage(strip, m_bmpDisabled, 2, slices) && BuildStateImage(strip, m_bmpFocused, 3, slices);
}

bool CSkinButton::BuildStateImage(CBitmap& strip, CBitmap& image, int slice, int slices) {
  CWindowSurface window(m_hWnd);
  CDC destination;
  CDC source;
  if (!destination.CreateCompatibleDC(window) || !source.CreateCompatibleDC(window)) return false;
  SelectedObject stripSelected(source, strip);

  BITMAP info{};
  strip.GetBitmap(&info);
  RECT client;
  GetClientRect(&client);
  const int cw = client.right - client.left;
  const int ch = client.bottom - client.top;

  image.DeleteObject();
  image.CreateCompatibleBitmap(window, cw, ch);
  SelectedObject imageSelected(destination, image);

  const SkinMargins margins{m_nTop, m_nBottom, m_nLeft, m_nRight};
  if (!DrawNineSlice(destination, source,
                     LayOutNineSlice(info.bmWidth, info.bmHeight, slices, slice, cw, ch, margins))) {
    return false;
  }
  m_bSkinned = 1;
  return true;
}

void CSkinButton::DrawStateImage(HDC dc, int index) {
  if (m_bSkinned < 1) return;
  CBitmap* image = StateImage(index);
  if (image == nullptr) return;
  RECT client;
  GetClientRect(&client);
  DrawTransparent(dc, *image, client.right - client.left, client.bottom - client.top, m_crTransparent);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT item) {
  HDC target = item->hDC;
  RECT rc;
  GetClientRect(&rc);
  COffscreenDC dc(target, rc);

  CBrush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  FillRect(dc, &rc, face);

  const SkinFace skin = ChooseSkinFace(item->itemState);
  for (int i = 0; i < skin.imageCount; ++i) DrawStateImage(dc, skin.images[i]);
  RECT captionRect = rc;
  if (skin.shiftCaption) captionRect.left += kPressedCaptionShift;

  ScopedBkMode transparent(dc, TRANSPARENT);
  SelectedObject font(dc, m_pFont ? m_pFont->GetSafeHandle() : nullptr);
  ScopedTextColor color(dc, skin.grayCaption ? GetSysColor(COLOR_GRAYTEXT) : m_pFont ? m_pFont->TextColor() : 0);
  std::wstring caption = GetWindowText();
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &captionRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CSkinButton::PreSubclassWindow() {
  LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
  SendMessage(BM_SETSTYLE, (style & 0xFF) | BS_OWNERDRAW, TRUE);
}

BOOL CSkinButton::OnEraseBkgnd(HDC) { return FALSE; }
