#include "caption_font.h"

#include <cstring>

#include "framework/chinese_face.h"
#include "framework/wide_text.h"

CCaptionFont::CCaptionFont(const char* faceName) {
  m_lf.lfHeight = -12;
  m_lf.lfWeight = FW_NORMAL;
  m_lf.lfCharSet = DEFAULT_CHARSET;
  m_lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  m_lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  m_lf.lfQuality = PROOF_QUALITY;
  m_lf.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
  lstrcpynA(m_lf.lfFaceName, faceName, LF_FACESIZE);

  // The face name is GBK; the narrow font function would read it in the
  // system's code page, so the font is made from its Unicode form. Where the
  // face draws no Chinese (no SimSun installed), an installed face that does
  // stands in for it; m_lf keeps the face asked for.
  LOGFONTW wide{};
  std::memcpy(&wide, &m_lf, offsetof(LOGFONTA, lfFaceName));
  lstrcpynW(wide.lfFaceName, FaceForChineseText(WideFromProgramText(m_lf.lfFaceName)).c_str(), LF_FACESIZE);
  CreateFontIndirect(&wide);
}
