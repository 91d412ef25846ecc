// Every push button of the program is skinned the same way: the strip of
// five faces, margins 5 (top, bottom, left) and 4 (right).
#pragma once

#include "controls/skin_button.h"
#include "resource.h"

inline bool ApplyButtonSkin(CSkinButton& button) { return button.SetSkin(IDB_BUTTON_SKIN, 5, 5, 5, 5, 4); }
