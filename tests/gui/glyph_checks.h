// Whether the window's Chinese texts draw as glyphs or as boxes: a font
// without the glyphs draws every character as the same box (or as nothing),
// so a text of different characters shows one shape where it should show
// several.
#pragma once

#include <windows.h>

#include <string>

#include "gui_driver.h"

// The distinct shapes of the dark pixels in `area` of `capture` (darker than
// `inkBelow` in every channel): the ink is cut into runs of columns that
// hold some, and each run, cut to the rows that hold ink, is one shape.
// Shapes lower than half the tallest (dots, strokes apart) do not count.
int DistinctGlyphShapes(const Capture& capture, const RECT& area, int inkBelow);

// The window's buttons, its list and the about box, in whatever Wine
// prefix this runs: each Chinese text shows as many shapes as it needs.
// Screenshots "fonts-main" and "fonts-about".
void RunFontChecks(const std::wstring& exe);
