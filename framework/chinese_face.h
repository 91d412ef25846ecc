// The face that draws the program's Chinese texts. Its dialogs and buttons
// name "宋体", which a system without SimSun (an English Windows, a Wine
// prefix of its own) lacks; the font it then falls back to may have no
// Chinese glyph at all and show every character as a box.
#pragma once

#include <string>

// `wanted` when the font made for that face has Chinese glyphs; else the
// first installed face, of the GB2312 character set, then Big5, Shift-JIS
// and Hangul, whose font has them; else `wanted`. Decided once per face.
std::wstring FaceForChineseText(const std::wstring& wanted);

// The same for one text: a face with a glyph for each of its Chinese
// characters, where the face FaceForChineseText gives lacks some (its
// judgement rests on a sample of the program's characters).
std::wstring FaceForChineseText(const std::wstring& wanted, const std::wstring& text);

// Whether the font of `face` (at the dialogs' size) has a glyph for every
// character of a sample of common Chinese characters.
bool FaceHasChineseGlyphs(const std::wstring& face);
