// The dialog colours: once installed for the thread, every dialog made on it
// — the program's own, the message boxes and the common dialogs — gets the
// background colour behind its own ground, its static controls and its push
// buttons, and the text colour for their text. Edit fields, list boxes and
// scroll bars keep the platform's colours. A message box's text also gets a
// face that draws Chinese when its own has none (message_box_face.h).
#pragma once

#include <windows.h>

// Installs (or changes) the colours for the calling thread. False when the
// hook could not be installed.
bool InstallDialogColors(COLORREF background, COLORREF text);
// Removes the hook; dialogs already open keep their colours.
void RemoveDialogColors();
