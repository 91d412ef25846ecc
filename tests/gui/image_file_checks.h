// The commands on sources that are image files: bitmaps and icon files.
#pragma once

#include "command_files.h"
#include "command_program.h"

// Start-up, Enter, cancelling, and a bitmap read into the starting group.
void CheckBitmapIntoStartingGroup(Program& program, const Paths& p);
// An icon file of three images, then a bitmap into its first image.
void CheckIconFileThenBitmap(Program& program, const Paths& p);
// Icon files without an icon, and a bitmap with no record to go into.
void CheckIconFilesWithoutIcons(Program& program, const Paths& p);
// An icon file of one 256x256 image, then a bitmap read into that image: the
// preview stays in its box, the bitmap scaled down to fill it.
void CheckLargeImageInItsBox(Program& program, const Paths& p);
// The list's context menu on an icon of 16, 32 and 48 px images: Shift+F10,
// Down, Down, Enter copies the 32 px one; a double-click saves the entry.
void CheckImageMenu(Program& program, const Paths& p);
