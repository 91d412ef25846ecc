#include "chinese_face.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "gdi.h"

namespace {

// Characters of the program's own texts, common to every Chinese font.
const wchar_t kSample[] = L"图标抓取保存复制";

LOGFONTW FontOf(const std::wstring& face) {
  LOGFONTW font{};
  font.lfHeight = -12;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return font;
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM context) {
  auto* faces = reinterpret_cast<std::vector<std::wstring>*>(context);
  std::wstring face = font->lfFaceName;
  // "@" faces are the same fonts turned for vertical text.
  if (!face.empty() && face[0] != L'@') faces->push_back(face);
  return TRUE;
}

// The Chinese characters of `text`: the ones a face must have to draw it
// (any face draws the ASCII around them, and a path's other letters are the
// system's affair).
std::wstring ChineseCharactersOf(const std::wstring& text) {
  std::wstring chinese;
  for (wchar_t c : text) {
    if (c >= 0x2E80 && c < 0xA000) chinese += c;
    if (c >= 0xFF00 && c < 0xFFF0) chinese += c;
  }
  return chinese;
}

bool FaceHasGlyphsFor(const std::wstring& face, const std::wstring& characters) {
  if (characters.empty()) return true;
  LOGFONTW logical = FontOf(face);
  CFont font;
  CDC dc;
  if (!font.CreateFontIndirect(&logical) || !dc.CreateCompatibleDC(nullptr)) return false;
  SelectedObject selected(dc, font.GetSafeHandle());
  const int count = static_cast<int>(characters.size());
  std::vector<WORD> glyphs(characters.size());
  if (GetGlyphIndicesW(dc, characters.c_str(), count, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) !=
      static_cast<DWORD>(count)) {
    return false;
  }
  for (WORD glyph : glyphs) {
    if (glyph == 0xFFFF) return false;
  }
  return true;
}

std::wstring InstalledChineseFace(const std::wstring& characters) {
  CDC screen;
  if (!screen.CreateCompatibleDC(nullptr)) return std::wstring();
  for (BYTE charset : {GB2312_CHARSET, CHINESEBIG5_CHARSET, SHIFTJIS_CHARSET, HANGUL_CHARSET}) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    std::vector<std::wstring> faces;
    EnumFontFamiliesExW(screen, &query, &CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    for (const std::wstring& face : faces) {
      if (FaceHasGlyphsFor(face, characters)) return face;
    }
  }
  return std::wstring();
}

}  // namespace

bool FaceHasChineseGlyphs(const std::wstring& face) { return FaceHasGlyphsFor(face, kSample); }

std::wstring FaceForChineseText(const std::wstring& wanted) {
  // The UI thread alone asks.
  static std::vector<std::pair<std::wstring, std::wstring>> decided;
  for (const auto& known : decided) {
    if (known.first == wanted) return known.second;
  }
  std::wstring face = wanted;
  if (!FaceHasChineseGlyphs(wanted)) {
    std::wstring installed = InstalledChineseFace(kSample);
    if (!installed.empty()) face = installed;
  }
  decided.emplace_back(wanted, face);
  return face;
}

std::wstring FaceForChineseText(const std::wstring& wanted, const std::wstring& text) {
  const std::wstring characters = ChineseCharactersOf(text);
  const std::wstring face = FaceForChineseText(wanted);
  if (FaceHasGlyphsFor(face, characters)) return face;
  const std::wstring installed = InstalledChineseFace(characters);
  return installed.empty() ? face : installed;
}
