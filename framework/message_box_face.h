// Message boxes are the platform's: it draws their text in the system's
// message font, which in a system without SimSun (a Western Windows, a Wine
// prefix made by plain wineboot) may hold no Chinese glyph and shows the
// program's texts as boxes. The dialog colours' hook hands each box here
// once the platform has laid it out; what the platform draws itself (the
// caption, the buttons) stays as it is.
#pragma once

#include <windows.h>

// True for a dialog that the platform's MessageBox made: its dialog
// procedure is user32's.
bool IsMessageBox(HWND dialog);

// Draws the box's text in a face with Chinese glyphs when its font lacks
// some that the text needs (FaceForChineseText of the text), at the font's
// size, and makes the box larger when the text then needs more room. The box
// owns the font it is given.
void GiveMessageBoxChineseFace(HWND box);
